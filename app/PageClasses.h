// The ten wizard page classes this program carries, registered by class name for the frame.
#pragma once

#include <span>

namespace app {

// Their class names, in page order.
std::span<const char* const> PageClassNames();
void RegisterPageClasses();
void UnregisterPageClasses();

// Registers at construction; at the end unregisters and clears the process-wide strings
// (WizardTitle, BackgroundMusicFile), as the program's shut-down does.
class ScopedPageClasses {
 public:
  ScopedPageClasses() { RegisterPageClasses(); }
  ~ScopedPageClasses();
  ScopedPageClasses(const ScopedPageClasses&) = delete;
  ScopedPageClasses& operator=(const ScopedPageClasses&) = delete;
};

}  // namespace app
