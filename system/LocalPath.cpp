#include "system/LocalPath.h"

#include "system/Gbk.h"

namespace sys {
namespace {

bool IsLeadByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0x81 && u <= 0xFE;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsForbiddenInName(unsigned char c) {
  return c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '/' || c == '|' ||
         c == '?' || c == '*';
}

// A GBK trail byte may be 0x7C ('|') or 0x5C; only single-byte characters are checked.
bool IsPlainName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || IsDeviceName(name)) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (IsLeadByte(name[i]) && i + 1 < name.size()) {
      ++i;
    } else if (IsForbiddenInName(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string upper = AsciiUpper(stem);
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" ||
      upper == "CONIN$" || upper == "CONOUT$") {
    return true;
  }
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

bool IsPlainLocalPath(std::string_view path) {
  if (path.size() < 4 || !IsLetter(path[0]) || path[1] != ':' || path[2] != '\\') return false;
  // One walk by characters, so a trail byte 0x5C is never a separator and a long hostile path
  // costs no more than its length.
  size_t start = 3;
  size_t i = 3;
  while (i < path.size()) {
    if (IsLeadByte(path[i]) && i + 1 < path.size()) {
      i += 2;
      continue;
    }
    if (path[i] == '\\') {
      if (!IsPlainName(path.substr(start, i - start))) return false;
      start = i + 1;
    }
    ++i;
  }
  return IsPlainName(path.substr(start));
}

}  // namespace sys
