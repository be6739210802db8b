// A file written beside its final name and moved over it only once it is complete, so that a
// failure while writing (disk full, a damaged source) leaves the earlier file as it was and no
// half-written file behind.
#pragma once

#include <memory>
#include <string>

#include "system/Platform.h"

class ReplacingFile {
 public:
  ReplacingFile(sys::Platform& platform, std::string target);
  // Removes the temporary file unless Commit has moved it into place.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // The stream on the temporary file; throws sys::Error(kCannotCreateFile) for the target.
  sys::Stream& Open();
  // Closes the stream and moves the temporary file over the target; throws
  // sys::Error(kCannotCreateFile) for the target when the move fails.
  void Commit();

 private:
  sys::Platform& platform_;
  std::string target_;
  std::string temp_;
  std::unique_ptr<sys::Stream> stream_;
  bool committed_ = false;
};
