#include "tools/project/ProjectChecks.h"

#include <array>
#include <cctype>

#include "package/EntryNames.h"
#include "package/uCommon.h"
#include "system/Gbk.h"
#include "tools/host/ToolText.h"

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

// Windows opens these names as devices in every folder, whatever the extension.
bool IsDeviceName(const std::string& part) {
  std::string base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (sys::SameText(base, device)) return true;
  }
  if (base.size() == 4 && (sys::StartsWithText(base, "COM") || sys::StartsWithText(base, "LPT"))) {
    return base[3] >= '1' && base[3] <= '9';
  }
  return false;
}

std::string CheckParts(const TStringList& parts) {
  for (const std::string& part : parts) {
    if (part == "." || part == "..") return "must not hold \".\" or \"..\" (it could leave its folder)";
    if (IsDeviceName(part)) return "holds the device name \"" + part + "\"";
  }
  return {};
}

}  // namespace

std::string CheckDestFolder(const std::string& folder) {
  for (const char* root : kFolderRoots) {
    if (!sys::StartsWithText(folder, root)) continue;
    const std::string rest = folder.substr(std::string(root).size());
    const bool absoluteRoot = std::string(root) == kFolderRoots[2];
    const bool absolute = rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) &&
                          rest[1] == ':';
    if (absoluteRoot && !(absolute && (rest.size() == 2 || rest[2] == '\\'))) {
      return Utf8(u8"must go on with an absolute path after 指定目录\\ (such as D:\\Tools)");
    }
    if (!absoluteRoot && (absolute || (!rest.empty() && (rest[0] == '\\' || rest[0] == '/')))) {
      return "must go on with a relative path after its root, not an absolute one";
    }
    if (!absoluteRoot && rest.find(':') != std::string::npos) return "must not hold \":\"";
    TStringList parts;
    SplitText(absoluteRoot ? rest.substr(2) : rest, "\\", parts);
    return CheckParts(parts);
  }
  return Utf8(u8"must begin with 目标计算机\\Program Files\\, 目标计算机\\Windows\\ or 指定目录\\");
}

std::string CheckInstalledName(const std::string& pathOrName) {
  size_t separator = package::LastSeparator(pathOrName);
  std::string name = separator == std::string::npos ? pathOrName : pathOrName.substr(separator + 1);
  if (IsDeviceName(name)) return "names the device \"" + name + "\", which no file can be called";
  if (name.find(':') != std::string::npos) return "must not hold \":\"";
  return {};
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
