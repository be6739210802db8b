#include "uninstall/ReplacingFile.h"

#include <utility>

#include "system/Error.h"

ReplacingFile::ReplacingFile(sys::Platform& platform, std::string target)
    : platform_(platform), target_(std::move(target)), temp_(target_ + ".tmp") {}

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
