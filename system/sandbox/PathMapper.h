// Maps Windows paths of the simulated machine to host paths below the sandbox root: drive C: is
// ROOT/drive_c, D: is ROOT/drive_d, and so on. Windows rules apply: "\" and "/" both separate,
// doubled separators collapse, "." and ".." are resolved lexically and never climb above the drive
// root, trailing dots and spaces of a name are dropped, and a name matches an existing host entry
// ignoring ASCII case (new names are created as given). GBK names become UTF-8 host names.
// Relative paths resolve against the working folder.
//
// Deliberately not mapped (nullopt, so every operation fails as on a missing file): UNC paths,
// names with characters Windows forbids (<>:"|?* and control characters, which also rules out
// alternate data streams) and bytes that are not valid GBK.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sys::sandbox {

// An absolute Windows path split into its drive letter (upper case) and names.
struct WindowsPath {
  char drive = 'C';
  std::vector<std::string> names;

  // "C:\A\B"; the drive root is "C:\".
  std::string Text() const;
};

class PathMapper {
 public:
  PathMapper(std::filesystem::path root, const std::string& workingDirectory);

  // Throws sys::Error when the folder is not an absolute path.
  void SetWorkingDirectory(const std::string& path);
  const WindowsPath& workingDirectory() const { return working_; }

  std::optional<WindowsPath> Resolve(const std::string& path) const;
  // The absolute, normalised Windows form of path ("c:/a//b/../c" -> "C:\a\c").
  std::optional<std::string> Normalize(const std::string& path) const;
  std::optional<std::filesystem::path> ToHost(const std::string& path) const;
  std::filesystem::path ToHost(const WindowsPath& path) const;
  std::filesystem::path DriveFolder(char drive) const;
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
  WindowsPath working_;
};

}  // namespace sys::sandbox
