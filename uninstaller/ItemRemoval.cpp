#include "uninstaller/ItemRemoval.h"

#include "system/UserFolders.h"
#include "undo/uUnInstall.h"
#include "uninstaller/UninstallLog.h"

namespace uninst {
namespace {

ItemOutcome RemoveFileItem(sys::Platform& platform, const std::string& path) {
  if (sys::UserFolderAbove(platform, path)) {
    // A folder that has since taken the file's name is not the file that was installed.
    if (!platform.FileExists(path)) return ItemOutcome::Absent;
    return OutcomeOf(sys::RemoveFileOrFolder(platform, path, false));
  }
  // Deleted without a look first (a delete never takes a folder): only a delete that fails
  // asks what is there, a file still (Failed) or nothing, or a folder that took its name.
  if (platform.RemoveFile(path)) return ItemOutcome::Removed;
  return platform.FileExists(path) ? ItemOutcome::Failed : ItemOutcome::Absent;
}

ItemOutcome RemoveFolderItem(sys::Platform& platform, const std::string& path) {
  if (!platform.DirectoryExists(path)) return ItemOutcome::Absent;
  return OutcomeOf(sys::RemoveFileOrFolder(platform, path, true));
}

ItemOutcome RemoveValue(sys::Platform& platform, sys::RegRoot root, const TUnInsData& item) {
  auto key = platform.OpenKey(root, item.Path, false);
  if (!key) return ItemOutcome::Failed;
  if (!key->QueryValue(item.ValueName)) return ItemOutcome::Absent;
  return key->DeleteValue(item.ValueName) ? ItemOutcome::Removed : ItemOutcome::Failed;
}

// An empty value name is both a key the run created and the key's unnamed value, which the log
// records under the same identity; the value goes first, then the key if nothing else is in it.
ItemOutcome RemoveKey(sys::Platform& platform, sys::RegRoot root, const TUnInsData& item) {
  {
    auto key = platform.OpenKey(root, item.Path, false);
    if (key && key->QueryValue("") && !key->DeleteValue("")) return ItemOutcome::Failed;
  }
  return OutcomeOf(platform.RemoveEmptyKey(root, item.Path));
}

ItemOutcome RemoveRegistryItem(sys::Platform& platform, const TUnInsData& item) {
  std::optional<sys::RegRoot> root = ParseRootKey(item.RootKey);
  if (!root) return ItemOutcome::Failed;
  if (!platform.KeyExists(*root, item.Path)) return ItemOutcome::Absent;
  return item.ValueName.empty() ? RemoveKey(platform, *root, item)
                                : RemoveValue(platform, *root, item);
}

}  // namespace

ItemOutcome OutcomeOf(sys::Removal removal) {
  switch (removal) {
    case sys::Removal::Removed: return ItemOutcome::Removed;
    case sys::Removal::NotEmpty: return ItemOutcome::NotEmpty;
    case sys::Removal::Failed: break;
  }
  return ItemOutcome::Failed;
}

ItemOutcome RemoveItem(sys::Platform& platform, const TUnInsData& item) {
  if (item.Remove != 1) return ItemOutcome::Kept;
  switch (item.Kind) {
    case undo::kUnInsFile:
      return RemoveFileItem(platform, item.Path);
    case undo::kUnInsDir:
      return RemoveFolderItem(platform, item.Path);
    case undo::kUnInsReg:
      return RemoveRegistryItem(platform, item);
    default: return ItemOutcome::Failed;
  }
}

std::string DescribeItem(const TUnInsData& item) {
  if (item.Kind != undo::kUnInsReg) return item.Path;
  std::optional<sys::RegRoot> root = ParseRootKey(item.RootKey);
  std::string key = (root ? RootName(*root) : item.RootKey) + "\\" +
                    (item.Path.starts_with("\\") ? item.Path.substr(1) : item.Path);
  return item.ValueName.empty() ? key : key + " [" + item.ValueName + "]";
}

}  // namespace uninst
