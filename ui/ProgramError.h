// The widget layer's complaint about its own use: a second control of one name, a visible form
// made modal, a check-list index out of range, a bar's minimum above its maximum. These are
// mistakes in the program, not in a package; every backend raises them, so the headless tests
// catch them rather than a window drawn wrong. The message names the form or control.
#pragma once

#include "system/Error.h"

namespace ui {

class ProgramError : public sys::MessageError {
 public:
  using MessageError::MessageError;
};

}  // namespace ui
