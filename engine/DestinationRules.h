// Where a destination folder text of the package lands on this machine. The authoring tool
// writes folders in its tree notation, starting with one of three roots:
//   "目标计算机\Program Files\"  the rest is mapped onto the chosen install folder
//   "目标计算机\Windows\"        the rest is below the Windows folder
//   "指定目录\"                  the rest is an absolute path
// The roots are found anywhere in the text ignoring ASCII case, and cut from its start by their
// byte length, as the packager's texts always begin with them. Pure text rules; nothing here
// touches the machine.
#pragma once

#include <functional>
#include <string>

namespace engine {

struct DestinationRoots {
  std::string installDir;
  std::string windowsDir;  // without a trailing backslash
};

}  // namespace engine

// Removes one trailing backslash (never the trail byte of a double-byte character).
std::string TrimBackslash(const std::string& path);

// The program-files remainder placed onto the install folder: when its first component names a
// component of the install folder, the remainder replaces the install folder from there on
// (D:\Apps\MyTool + MyTool\bin -> D:\Apps\MyTool\bin); otherwise it goes below it
// (D:\Apps\MyTool + Common\x -> D:\Apps\MyTool\Common\x).
std::string MapUnderInstallDir(const std::string& installDir, const std::string& remainder);

// Applies the three root rules in turn, each to the result of the one before; a text without a
// root stays as it is. afterRule, when given, sees the folder after each rule that applied
// (the folder and file steps create it there).
std::string ResolveDestFolder(const std::string& path, const engine::DestinationRoots& roots,
                              const std::function<void(const std::string& folder)>& afterRule = {});
