// A hold on a file that no second holder can take while it lasts: the file is opened for
// reading and writing and shared for reading only. Readers (OpenForRead) still get in, so the
// holder and others can read it; another ExclusiveHold, or anything writing or deleting it, is
// refused with a sharing violation until Release or the destructor.
#pragma once

#include <string>

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

  State GetState() const { return state_; }
  void Release() { handle_.Reset(); }

 private:
  ScopedHandle handle_;
  State state_ = State::Unavailable;
};

}  // namespace sys::win32
