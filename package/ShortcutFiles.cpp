#include "package/uCommon.h"

#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/UserFolders.h"

void CreateShellLink(const std::string& folder, const std::string& fileName,
                     const std::string& target, const std::string& arguments,
                     const std::string& description) {
  sys::ShellLink link;
  link.showCommand = sys::kSwShowNormal;
  link.arguments = arguments;
  link.description = description;
  link.target = target;
  link.workingDirectory = sys::ExtractFilePath(target);
  // Saving failures are the callers' to ignore; only a missing link object throws.
  sys::WriteLinkFile(sys::CurrentPlatform(), folder + "\\" + fileName, link);
}

void CreateInternetShortcut(const std::string& name, const std::string& address,
                            const std::string& folder) {
  bool endsWithSlash = !folder.empty() && folder.back() == '\\' &&
                       sys::IsCharStart(folder, folder.size() - 1);
  std::string path = folder + (endsWithSlash ? "" : "\\") + name + ".url";
  std::string content = "[InternetShortcut]\r\nURL=" + address + "\r\n";
  sys::WriteNewFile(sys::CurrentPlatform(), path, content);
}
