#include "uninstaller/UninstallLog.h"

#include <utility>

#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "uninstall/uUnInstall.h"

namespace uninst {
namespace {

constexpr std::pair<sys::RegRoot, const char*> kRoots[] = {
    {sys::kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},   {sys::kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {sys::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"}, {sys::kHkeyUsers, "HKEY_USERS"},
    {sys::kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsUsable(const TUnInsData& item) {
  if (item.Remove > 1) return false;
  switch (item.Kind) {
    case kUnInsFile:
    case kUnInsDir:
      return item.RootKey.empty() && item.ValueName.empty() && IsAbsoluteBelowRoot(item.Path);
    case kUnInsReg:
      return ParseRootKey(item.RootKey).has_value() && NamesAKey(item.Path);
    default:
      return false;
  }
}

}  // namespace

// A relative path would resolve against whatever folder the uninstaller happens to run in, and
// a bare drive or share is never ours.
bool IsAbsoluteBelowRoot(const std::string& path) {
  TStringList parts;
  SplitText(path, "\\", parts);
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
    return parts.size() >= 2;
  }
  if (path.starts_with("\\\\")) return parts.size() >= 3;
  return false;
}

bool NamesAKey(const std::string& keyPath) {
  TStringList parts;
  SplitText(keyPath, "\\", parts);
  return !parts.empty();
}

std::string LogPathBeside(const std::string& program) {
  return sys::ExtractFilePath(program) + "Ins.log";
}

std::unique_ptr<TUnInstall> LoadUninstallLog(sys::Platform& platform, const std::string& path) {
  if (!platform.FileExists(path)) throw sys::Error(sys::Format(kLogMissing, path), sys::kErrorFileNotFound);
  try {
    platform.OpenForRead(path);
  } catch (const sys::Error& error) {
    throw sys::Error(sys::Format(kLogUnreadable, path), error.osCode());
  }
  auto log = std::make_unique<TUnInstall>(platform);
  try {
    log->LoadFromFile(path);
  } catch (const sys::Error& error) {
    throw sys::Error(sys::Format(kLogDamaged, path), error.osCode());
  }
  for (const auto& item : log->Items()) {
    if (!IsUsable(*item)) throw sys::Error(sys::Format(kLogDamaged, path));
  }
  return log;
}

std::optional<sys::RegRoot> ParseRootKey(const std::string& text) {
  for (const auto& [root, name] : kRoots) {
    if (text == std::to_string(root)) return root;
  }
  return std::nullopt;
}

std::string RootName(sys::RegRoot root) {
  for (const auto& [value, name] : kRoots) {
    if (value == root) return name;
  }
  return {};
}

}  // namespace uninst
