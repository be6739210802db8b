// A hold on a file that no second holder can take while it lasts: the file is opened for
// reading and writing and shared for reading only. Readers (OpenForRead) still get in, so the
// holder and others can read it; another ExclusiveHold, or anything writing or deleting it, is
// refused with a sharing violation until Release or the destructor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "system/Stream.h"

#include "system/win32/ScopedWin.h"

namespace sys::win32 {

class ExclusiveHold {
 public:
  enum class State {
    Held,
    HeldElsewhere,  // another process (or hold) has it
    Unavailable,    // missing, denied or otherwise not openable: the caller's reading says why
  };

  explicit ExclusiveHold(const std::string& path);
  // Takes over a hold a parent process passed down, when it is a hold on the file at path (the
  // same file, by volume and file index); otherwise, or for 0, the handle is left alone and a
  // hold on path is taken as by the constructor, so a forged handle number gains nothing.
  static ExclusiveHold Adopt(uint64_t inheritedHandle, const std::string& path);

  State GetState() const { return state_; }
  // A stream that reads the held file through the hold itself, from its start: whatever is put
  // under the file's name later (its folder renamed away and another one put in its place) is
  // never what it reads. nullptr when nothing is held. The stream shares the hold's open file:
  // the file stays held until both are gone, so drop the stream before Release.
  std::unique_ptr<Stream> OpenReader() const;
  void Release() { handle_.Reset(); }
  // Lets child processes inherit the hold; the handle value to hand them (0 when not held).
  uint64_t ShareWithChildren();
  // Back to this process only, when no child took it.
  void KeepFromChildren();

 private:
  ExclusiveHold() = default;

  ScopedHandle handle_;
  State state_ = State::Unavailable;
};

}  // namespace sys::win32
