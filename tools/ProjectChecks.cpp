#include "tools/ProjectChecks.h"

#include <array>
#include <cctype>

#include "package/uCommon.h"
#include "system/Gbk.h"
#include "tools/ToolText.h"

namespace tool {
namespace {

// Literals are GBK at run time, as the package's texts are.
constexpr std::array<const char*, 3> kFolderRoots = {"目标计算机\\Program Files\\",
                                                     "目标计算机\\Windows\\", "指定目录\\"};
constexpr std::array<const char*, 5> kRegistryRoots = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                       "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                                       "HKEY_CURRENT_CONFIG"};
constexpr std::array<const char*, 3> kShortcutLocations = {"开始菜单", "桌面", "快速启动栏"};

bool AllHex(const std::string& text) {
  for (unsigned char c : text) {
    if (!std::isxdigit(c)) return false;
  }
  return true;
}

}  // namespace

std::string CheckDestFolder(const std::string& folder) {
  for (const char* root : kFolderRoots) {
    if (sys::StartsWithText(folder, root)) return {};
  }
  return Utf8(u8"must begin with 目标计算机\\Program Files\\, 目标计算机\\Windows\\ or 指定目录\\");
}

std::string CheckRegistryKey(const std::string& key) {
  TStringList parts;
  SplitText(key, "\\", parts);
  if (parts.size() < 3) return Utf8(u8"must read 目标计算机\\<root>\\<subkey>");
  for (const char* root : kRegistryRoots) {
    if (sys::SameText(parts[1], root)) return {};
  }
  return "second part must be a registry root (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, ...)";
}

std::string CheckShortcutFolder(const std::string& folder) {
  TStringList parts;
  SplitText(folder, "\\", parts);
  for (const char* location : kShortcutLocations) {
    if (!parts.empty() && sys::SameText(parts[0], location)) return {};
  }
  return Utf8(u8"must begin with 开始菜单, 桌面 or 快速启动栏");
}

std::string CheckSerial(const std::string& serial) {
  static const std::array<size_t, 5> groups = {8, 4, 4, 4, 12};
  size_t pos = 0;
  for (size_t i = 0; i < groups.size(); ++i) {
    if (i > 0) {
      if (pos >= serial.size() || serial[pos] != '-') break;
      ++pos;
    }
    std::string group = serial.substr(pos, groups[i]);
    if (group.size() != groups[i] || !AllHex(group)) break;
    pos += groups[i];
    if (i + 1 == groups.size() && pos == serial.size()) return {};
  }
  return "must be a GUID without braces (8-4-4-4-12 hex digits)";
}

std::string CheckDwordData(const std::string& data) {
  if (data.empty() || data.size() > 8 || !AllHex(data)) return "needs 1 to 8 hex digits";
  return {};
}

std::string CheckBinaryData(const std::string& data) {
  if (!AllHex(data)) return "needs hex digits";
  return {};
}

}  // namespace tool
