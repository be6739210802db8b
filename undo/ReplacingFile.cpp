#include "undo/ReplacingFile.h"

#include <memory>
#include <string>
#include <utility>

#include "system/Error.h"

namespace undo {

namespace {

// A name beside the target that nothing uses yet, so that a user's own "x.tmp" is never
// truncated and deleted by the write.
std::string FreeTemporaryName(const sys::Platform& platform, const std::string& target) {
  for (int n = 0;; ++n) {
    std::string candidate = target + ".~" + std::to_string(n);
    if (!platform.FileExists(candidate) && !platform.DirectoryExists(candidate)) return candidate;
  }
}

// Names the file in the error of a write that fails part way (the disk filling up), where the
// stream itself can only say that a write failed.
class NamedWriteStream : public sys::Stream {
 public:
  NamedWriteStream(std::unique_ptr<sys::Stream> stream, std::string name)
      : stream_(std::move(stream)), name_(std::move(name)) {}
  size_t Read(void* buffer, size_t count) override { return stream_->Read(buffer, count); }
  void Write(const void* buffer, size_t count) override {
    try {
      stream_->Write(buffer, count);
    } catch (const sys::Error& e) {
      throw sys::Error(sys::Format(sys::kCannotWriteFile, name_), e.osCode());
    }
  }
  void Seek(int64_t position) override { stream_->Seek(position); }
  int64_t Position() const override { return stream_->Position(); }
  int64_t Size() const override { return stream_->Size(); }
  bool SetLastWriteTime(uint64_t utc) override { return stream_->SetLastWriteTime(utc); }

 private:
  std::unique_ptr<sys::Stream> stream_;
  std::string name_;
};

}  // namespace

ReplacingFile::ReplacingFile(sys::Platform& platform, std::string target, NewTarget newTarget)
    : platform_(platform), target_(std::move(target)), newTarget_(newTarget) {}

ReplacingFile::~ReplacingFile() {
  stream_.reset();
  if (!committed_ && !written_.empty()) platform_.RemoveFile(written_);
}

sys::Stream& ReplacingFile::Open() {
  try {
    // A new target in place: the look for it and its create are one call.
    std::unique_ptr<sys::Stream> stream;
    if (newTarget_ == NewTarget::InPlace) stream = platform_.CreateIfNoFile(target_, [] {});
    written_ = stream ? target_ : FreeTemporaryName(platform_, target_);
    if (!stream) stream = platform_.CreateForWrite(written_);
    stream_ = std::make_unique<NamedWriteStream>(std::move(stream), target_);
  } catch (const sys::Error& e) {
    // Nothing was created to remove.
    written_.clear();
    // The caller asked for the target; the temporary name is our detail.
    throw sys::Error(sys::Format(sys::kCannotCreateFile, target_), e.osCode());
  }
  return *stream_;
}

void ReplacingFile::Commit(std::optional<sys::FileTime> lastWriteUtc) {
  // Through the handle that wrote the file, after its last write: no second open by name.
  if (lastWriteUtc) stream_->SetLastWriteTime(*lastWriteUtc);
  stream_.reset();
  if (written_ != target_ && !platform_.MoveReplacing(written_, target_)) {
    throw sys::Error(sys::Format(sys::kCannotCreateFile, target_));
  }
  committed_ = true;
}

}  // namespace undo
