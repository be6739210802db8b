// A fresh folder under the Windows temporary folder for one test, removed with everything in
// it when the object goes. Paths are GBK, like everything the platform takes.
#pragma once

#include <string>

namespace sys::win32::tests {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Without a trailing backslash.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Removes a folder tree; used by ScratchFolder and by fixtures that make their own.
void RemoveTree(const std::string& path);

}  // namespace sys::win32::tests
