#include "system/UserFolders.h"

#include "system/Error.h"
#include "system/Gbk.h"

namespace sys {
namespace {

bool IsBelow(const std::string& path, std::string folder) {
  if (folder.empty()) return false;
  if (folder.back() != '\\') folder += '\\';
  return path.size() > folder.size() && StartsWithText(path, folder);
}

}  // namespace

std::optional<std::string> UserFolderAbove(Platform& platform, const std::string& path) {
  std::string profiles = ExtractFilePath(platform.SpecialFolder(kCsidlProfile));
  if (!profiles.empty()) profiles.pop_back();
  std::optional<std::string> deepest;
  for (const std::string& folder :
       {platform.SpecialFolder(kCsidlPrograms), platform.SpecialFolder(kCsidlDesktop),
        platform.SpecialFolder(kCsidlAppData), profiles}) {
    if (IsBelow(path, folder) && (!deepest || folder.size() > deepest->size())) deepest = folder;
  }
  return deepest;
}

bool CreateFolders(Platform& platform, const std::string& path) {
  if (auto anchor = UserFolderAbove(platform, path)) return platform.CreateFoldersBelow(*anchor, path);
  return platform.ForceDirectories(path);
}

void WriteNewFile(Platform& platform, const std::string& path, const std::string& bytes) {
  if (auto anchor = UserFolderAbove(platform, path)) {
    if (!platform.WriteNewFileBelow(*anchor, path, bytes)) {
      throw Error(Format(kCannotCreateFile, path), kErrorAccessDenied);
    }
    return;
  }
  platform.CreateForWrite(path)->Write(bytes.data(), bytes.size());
}

bool WriteLinkFile(Platform& platform, const std::string& path, const ShellLink& link) {
  auto anchor = UserFolderAbove(platform, path);
  if (!anchor) return platform.WriteShellLink(path, link);
  std::optional<std::string> bytes = platform.ShellLinkBytes(link);
  return bytes && platform.WriteNewFileBelow(*anchor, path, *bytes);
}

Removal RemoveFileOrFolder(Platform& platform, const std::string& path, bool folder) {
  if (auto anchor = UserFolderAbove(platform, path)) return platform.RemoveBelow(*anchor, path);
  if (folder) return platform.RemoveEmptyFolder(path);
  return platform.RemoveFile(path) ? Removal::Removed : Removal::Failed;
}

bool MayRemoveAtRestart(Platform& platform, const std::string& path) {
  return !UserFolderAbove(platform, path);
}

}  // namespace sys
