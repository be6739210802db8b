// Which files of the simulated machine only its administrators can change: those an elevated run
// made with Platform::CreateProtectedFile. Each is remembered by a hard link in ROOT/protected/
// named after its host identity (device and inode), so the mark survives the run that made it
// and a killed run, and the inode can never be handed to another file while the mark stands. A
// file written new through the host (a planted one, or a copy in the place of a protected one)
// is an ordinary user's file; a change made through the host to a protected file in place is
// not modelled (the person could not make it on Windows). A mark whose file is gone from the
// drives (only the link is left) is dropped at the next creation or removal.
#pragma once

#include <filesystem>

namespace sys::sandbox {

class ProtectedFiles {
 public:
  explicit ProtectedFiles(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Marks the file at host (open on fd); false when the mark cannot be made.
  bool Mark(int fd, const std::filesystem::path& host) const;
  // Whether the file open on fd is marked.
  bool IsMarked(int fd) const;
  // Drops the marks of files no longer on any drive.
  void DropOrphans() const;

 private:
  std::filesystem::path folder_;
};

}  // namespace sys::sandbox
