#include "system/sandbox/PathMapper.h"

#include <sys/stat.h>

#include <cstring>
#include <system_error>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"

namespace sys::sandbox {
namespace {

namespace fs = std::filesystem;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Splits at backslashes that start a character: the trail byte of a double-byte GBK character
// may be 0x5C and is part of the name.
std::vector<std::string> SplitNames(const std::string& text) {
  std::vector<std::string> names;
  std::string current;
  for (size_t at = 0; at < text.size(); ++at) {
    auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0x81 && byte <= 0xFE && at + 1 < text.size()) {
      current += text[at];
      current += text[++at];
      continue;
    }
    if (text[at] == '\\') {
      names.push_back(std::move(current));
      current.clear();
    } else {
      current += text[at];
    }
  }
  names.push_back(std::move(current));
  return names;
}

bool HasForbiddenChar(const std::string& name) {
  for (size_t at = 0; at < name.size(); ++at) {
    auto byte = static_cast<unsigned char>(name[at]);
    if (byte >= 0x81 && byte <= 0xFE && at + 1 < name.size()) {
      ++at;
      continue;
    }
    if (byte < 0x20 || std::strchr("<>:\"|?*", static_cast<char>(byte)) != nullptr) return true;
  }
  return false;
}

// Applies one name to the folder list the way Windows does; false for a forbidden name.
bool Apply(std::vector<std::string>& names, std::string name) {
  if (name.empty() || name == ".") return true;
  if (name == "..") {
    if (!names.empty()) names.pop_back();
    return true;
  }
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  if (name.empty()) return true;
  if (HasForbiddenChar(name)) return false;
  names.push_back(std::move(name));
  return true;
}

bool SameStamp(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::optional<struct timespec> FolderStamp(const fs::path& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return info.st_mtim;
}

}  // namespace

std::string WindowsPath::Text() const {
  std::string text{drive, ':'};
  if (names.empty()) return text + "\\";
  for (const std::string& name : names) text += "\\" + name;
  return text;
}

PathMapper::PathMapper(fs::path root, const std::string& workingDirectory) : root_(std::move(root)) {
  SetWorkingDirectory(workingDirectory);
}

void PathMapper::SetWorkingDirectory(const std::string& path) {
  std::string text = path;
  for (char& c : text)
    if (c == '/') c = '\\';
  if (text.size() < 3 || !IsLetter(text[0]) || text[1] != ':' || text[2] != '\\')
    throw Error("The working folder must be an absolute path: " + path);
  WindowsPath resolved;
  resolved.drive = UpperLetter(text[0]);
  for (std::string& name : SplitNames(text.substr(3)))
    if (!Apply(resolved.names, std::move(name))) throw Error("Invalid working folder: " + path);
  working_ = std::move(resolved);
}

std::optional<WindowsPath> PathMapper::Resolve(const std::string& path) const {
  if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
  std::string text = path;
  // '/' (0x2F) is never a GBK trail byte, so a byte-wise swap is safe.
  for (char& c : text)
    if (c == '/') c = '\\';
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') return std::nullopt;

  WindowsPath result;
  std::string rest;
  if (text.size() >= 2 && IsLetter(text[0]) && text[1] == ':') {
    result.drive = UpperLetter(text[0]);
    rest = text.substr(2);
    bool absolute = !rest.empty() && rest[0] == '\\';
    if (!absolute && result.drive == working_.drive) result.names = working_.names;
  } else if (text[0] == '\\') {
    result.drive = working_.drive;
    rest = text;
  } else {
    result = working_;
    rest = text;
  }
  for (std::string& name : SplitNames(rest))
    if (!Apply(result.names, std::move(name))) return std::nullopt;
  return result;
}

std::optional<std::string> PathMapper::Normalize(const std::string& path) const {
  auto resolved = Resolve(path);
  if (!resolved) return std::nullopt;
  return resolved->Text();
}

fs::path PathMapper::DriveFolder(char drive) const {
  char lower = static_cast<char>(UpperLetter(drive) - 'A' + 'a');
  return root_ / (std::string("drive_") + lower);
}

std::optional<fs::path> PathMapper::ToHost(const std::string& path) const {
  auto resolved = Resolve(path);
  if (!resolved) return std::nullopt;
  try {
    return ToHost(*resolved);
  } catch (const Error&) {
    return std::nullopt;  // not valid GBK
  }
}

fs::path PathMapper::ToHost(const WindowsPath& path, HostEntry* seen) const {
  HostEntry ignored = HostEntry::Unknown;
  if (seen == nullptr) seen = &ignored;
  *seen = HostEntry::Unknown;
  if (path.names.empty()) return DriveFolder(path.drive);
  const std::string folderKey = FolderKey(path);
  if (auto cached = folders_.find(folderKey); cached != folders_.end()) {
    // The folder was found before; the name in it is looked up afresh. A folder that has gone
    // since (removed, renamed) is walked again from the drive.
    auto [state, name] = LookUp(cached->second, GbkToUtf8(path.names.back()), seen);
    if (state != Lookup::NoFolder) return cached->second / name;
    folders_.erase(cached);
  }
  fs::path host = DriveFolder(path.drive);
  bool existing = true;  // while the folders so far exist, look for names ignoring case
  for (size_t i = 0; i < path.names.size(); ++i) {
    // Only a folder found whole is remembered, never one with a level that was not there yet
    // (whoever makes it picks its case).
    if (i + 1 == path.names.size() && existing) folders_.emplace(folderKey, host);
    std::string utf8 = GbkToUtf8(path.names[i]);
    if (existing) {
      auto [state, name] = LookUp(host, utf8, seen);
      existing = state == Lookup::Found;
      utf8 = std::move(name);
    }
    host /= utf8;
  }
  if (!existing) *seen = HostEntry::Missing;
  return host;
}

std::string PathMapper::FolderKey(const WindowsPath& path) {
  std::string key(1, path.drive);
  for (size_t i = 0; i + 1 < path.names.size(); ++i) key += "\\" + path.names[i];
  return key;
}

std::pair<PathMapper::Lookup, std::string> PathMapper::LookUp(const fs::path& folder, const std::string& name,
                                                              HostEntry* seen) const {
  struct stat info {};
  if (::stat((folder / name).c_str(), &info) == 0) {
    *seen = S_ISREG(info.st_mode) ? HostEntry::File
            : S_ISDIR(info.st_mode) ? HostEntry::Folder
                                    : HostEntry::Unknown;
    return {Lookup::Found, name};
  }
  auto stamp = FolderStamp(folder);
  if (!stamp) return {Lookup::NoFolder, name};
  if (auto match = FindEntry(folder, *stamp, name)) {
    *seen = HostEntry::Unknown;  // found by its listing, not looked at
    return {Lookup::Found, *match};
  }
  *seen = HostEntry::Missing;
  return {Lookup::Missing, name};
}

// ASCII-only folding over UTF-8 host names: multi-byte UTF-8 never holds ASCII bytes, so two
// different Chinese names never compare equal.
std::optional<std::string> PathMapper::FindEntry(const fs::path& folder, const struct timespec& stamp,
                                                 const std::string& name) const {
  Listing& listing = listings_[folder.string()];
  if (!SameStamp(listing.stamp, stamp) || listing.byFoldedName.empty()) {
    listing.byFoldedName.clear();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::string entry = it->path().filename().string();
      listing.byFoldedName.emplace(AsciiLower(entry), entry);
    }
    listing.stamp = stamp;
  }
  auto found = listing.byFoldedName.find(AsciiLower(name));
  if (found == listing.byFoldedName.end()) return std::nullopt;
  return found->second;
}

void PathMapper::Note(const fs::path& host, bool added) const {
  auto it = listings_.find(host.parent_path().string());
  if (it == listings_.end()) return;
  auto stamp = FolderStamp(host.parent_path());
  if (!stamp) {
    listings_.erase(it);
    return;
  }
  std::string entry = host.filename().string();
  if (added) {
    it->second.byFoldedName.emplace(AsciiLower(entry), entry);
  } else {
    it->second.byFoldedName.erase(AsciiLower(entry));
  }
  it->second.stamp = *stamp;
}

void PathMapper::NoteAdded(const fs::path& host) const { Note(host, true); }

void PathMapper::NoteRemoved(const fs::path& host) const { Note(host, false); }

}  // namespace sys::sandbox
