#include "package/EntryNames.h"

#include "package/uKernal.h"
#include "system/Error.h"

namespace package {

namespace {

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

size_t Next(std::string_view text, size_t at) {
  return (IsLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) ? at + 2 : at + 1;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

[[noreturn]] void Damaged() { throw sys::Error(kDamagedPackage); }

// Windows drops trailing dots and blanks from a name, so "..  " would still mean "..".
bool OnlyDotsAndBlanks(std::string_view name) {
  return name.find_first_not_of(". ") == std::string_view::npos;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows opens a device, not a file, for these names in any folder, whatever extension follows
// ("COM1.txt", "nul .log") and with trailing blanks or dots; the digits 1-9 only.
bool IsDeviceName(std::string_view name) {
  std::string base;
  for (char c : name.substr(0, name.find('.'))) base += AsciiUpper(c);
  while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
      base == "CONOUT$") {
    return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

void CheckName(std::string_view name) {
  if (name.empty() || OnlyDotsAndBlanks(name) || IsDeviceName(name)) Damaged();
  if (name.find(':') != std::string_view::npos || name.find('\0') != std::string_view::npos)
    Damaged();
}

}  // namespace

size_t LastSeparator(std::string_view path) {
  size_t found = std::string_view::npos;
  for (size_t at = 0; at < path.size(); at = Next(path, at))
    if (IsSeparator(path[at])) found = at;
  return found;
}

std::string SafeEntryFileName(const std::string& sourcePath) {
  size_t slash = LastSeparator(sourcePath);
  std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
  CheckName(name);
  return name;
}

std::string SafeFolderName(const std::string& name) {
  if (LastSeparator(name) != std::string::npos) Damaged();
  CheckName(name);
  return name;
}

void CheckRelativeEntryPath(const std::string& path) {
  if (path.find(':') != std::string::npos || path.find('\0') != std::string::npos) Damaged();
  std::string_view rest = path;
  size_t from = 0;
  for (size_t at = 0; at <= rest.size(); at = at < rest.size() ? Next(rest, at) : at + 1) {
    if (at == rest.size() || IsSeparator(rest[at])) {
      std::string_view part = rest.substr(from, at - from);
      // Empty and "." components are harmless (a doubled separator is expected); ".." and its
      // blank-padded forms are not.
      if (!part.empty() && part != "." && (OnlyDotsAndBlanks(part) || IsDeviceName(part))) {
        Damaged();
      }
      from = at + 1;
    }
  }
  SafeEntryFileName(path);
}

void CheckFolderHasNoDevice(const std::string& folder) {
  std::string_view rest = folder;
  size_t from = 0;
  for (size_t at = 0; at <= rest.size(); at = at < rest.size() ? Next(rest, at) : at + 1) {
    if (at == rest.size() || IsSeparator(rest[at])) {
      if (IsDeviceName(rest.substr(from, at - from))) Damaged();
      from = at + 1;
    }
  }
}

}  // namespace package
