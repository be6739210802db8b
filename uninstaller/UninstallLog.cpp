#include "uninstaller/UninstallLog.h"

#include <utility>

#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/LocalPath.h"
#include "undo/uUnInstall.h"

namespace uninst {
namespace {

constexpr std::pair<sys::RegRoot, const char*> kRoots[] = {
    {sys::kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},   {sys::kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {sys::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"}, {sys::kHkeyUsers, "HKEY_USERS"},
    {sys::kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
};

bool IsUsable(const TUnInsData& item) {
  if (item.Remove > 1) return false;
  switch (item.Kind) {
    case undo::kUnInsFile:
    case undo::kUnInsDir:
      return item.RootKey.empty() && item.ValueName.empty() && sys::IsPlainLocalPath(item.Path);
    case undo::kUnInsReg:
      return ParseRootKey(item.RootKey).has_value() && NamesAKey(item.Path);
    default:
      return false;
  }
}

}  // namespace

bool NamesAKey(const std::string& keyPath) {
  TStringList parts;
  SplitText(keyPath, "\\", parts);
  return !parts.empty();
}

std::string LogPathBeside(const std::string& program) {
  return sys::ExtractFilePath(program) + "Ins.log";
}

std::unique_ptr<TUnInstall> LoadUninstallLog(sys::Platform& platform, const std::string& path,
                                             const LogSource& source) {
  std::unique_ptr<sys::Stream> file;
  if (source) {
    file = source();
    if (!file) throw sys::Error(sys::Format(kLogUnreadable, path));
  } else {
    if (!platform.FileExists(path)) throw sys::Error(sys::Format(kLogMissing, path), sys::kErrorFileNotFound);
    try {
      file = platform.OpenForRead(path);
    } catch (const sys::Error& error) {
      throw sys::Error(sys::Format(kLogUnreadable, path), error.osCode());
    }
  }
  auto log = std::make_unique<TUnInstall>(platform);
  try {
    log->LoadFromStream(*file);
  } catch (const sys::Error& error) {
    throw sys::Error(sys::Format(kLogDamaged, path), error.osCode());
  }
  for (const auto& item : log->Items()) {
    if (!IsUsable(*item)) throw sys::Error(sys::Format(kLogDamaged, path));
  }
  return log;
}

void CheckRegisteredFolder(sys::Platform& platform, const TUnInstall& log,
                           const std::string& logPath) {
  std::string folder = sys::ExtractFilePath(logPath);
  if (!folder.empty()) folder.pop_back();
  std::optional<sys::RegValue> registered;
  if (NamesAKey(log.Serial())) {
    if (auto key = platform.OpenKeyToRead(sys::kHkeyLocalMachine,
                                          package::UninstallKeyPath(log.Serial()))) {
      registered = key->QueryValue("Install Dir");
    }
  }
  std::string dir = registered && registered->type == sys::kRegSz ? registered->data : "";
  while (dir.size() > 3 && dir.back() == '\\' && sys::IsCharStart(dir, dir.size() - 1)) dir.pop_back();
  if (folder.empty() || !sys::SameText(dir, folder)) {
    throw sys::Error(sys::Format(kLogNotRegistered, logPath));
  }
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
