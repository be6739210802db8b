#include "uninstall/ReplacingFile.h"

#include <string>
#include <utility>

#include "system/Error.h"

namespace {

// A name beside the target that nothing uses yet, so that a user's own "x.tmp" is never
// truncated and deleted by the write.
std::string FreeTemporaryName(const sys::Platform& platform, const std::string& target) {
  for (int n = 0;; ++n) {
    std::string candidate = target + ".~" + std::to_string(n);
    if (!platform.FileExists(candidate) && !platform.DirectoryExists(candidate)) return candidate;
  }
}

}  // namespace

ReplacingFile::ReplacingFile(sys::Platform& platform, std::string target)
    : platform_(platform), target_(std::move(target)), temp_(FreeTemporaryName(platform_, target_)) {}

ReplacingFile::~ReplacingFile() {
  stream_.reset();
  if (!committed_) platform_.RemoveFile(temp_);
}

sys::Stream& ReplacingFile::Open() {
  try {
    stream_ = platform_.CreateForWrite(temp_);
  } catch (const sys::Error& e) {
    // The caller asked for the target; the temporary name is our detail.
    throw sys::Error(sys::Format(sys::kCannotCreateFile, target_), e.osCode());
  }
  return *stream_;
}

void ReplacingFile::Commit() {
  stream_.reset();
  if (!platform_.MoveReplacing(temp_, target_)) {
    throw sys::Error(sys::Format(sys::kCannotCreateFile, target_));
  }
  committed_ = true;
}
