// The window layer's error reporter for a setup run: an exception that escapes a window event
// (a failed install on the progress page or in the no-options window) is shown in a message
// box (ReportSetupError) and counted, so the caller knows that an error ended the run.
#pragma once

namespace app {

class ScopedErrorReporter {
 public:
  ScopedErrorReporter();
  ~ScopedErrorReporter();
  ScopedErrorReporter(const ScopedErrorReporter&) = delete;
  ScopedErrorReporter& operator=(const ScopedErrorReporter&) = delete;

  // Errors reported so far (a silent abort is not one).
  int Reported() const { return reported_; }

 private:
  int reported_ = 0;
};

}  // namespace app
