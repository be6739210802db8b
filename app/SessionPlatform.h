// The platform of a setup run started with the administrator's switches, around the real one:
// it logs every message box with its answer and every restart, and
//   - in a silent run answers the boxes itself, showing none: a question takes the next
//     answer of the answers file, then its "default", then what Enter would give (Yes); an
//     information or error box is only logged;
//   - restarts only when the answer that led there came from the answers file (Enter never
//     restarts a machine nobody watches), and never with /NORESTART.
// Everything else passes through unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "system/ForwardingPlatform.h"

namespace sys {
class RunLog;
}

namespace app {

struct AnswersFile;

class SessionPlatform : public sys::ForwardingPlatform {
 public:
  SessionPlatform(sys::Platform& inner, sys::RunLog& log, bool silent, bool noRestart,
                  const AnswersFile& answers);

  void SetOwnerWindow(uintptr_t window) override;
  int ShowMessageBox(const std::string& text, const std::string& caption,
                     uint32_t style) override;
  bool RestartSystem(uint32_t flags) override;
  // Files pass through untouched, so the real platform's one-lookup create is kept.
  std::unique_ptr<sys::Stream> CreateIfNoFile(const std::string& path,
                                              const std::function<void()>& beforeCreate) override {
    return inner().CreateIfNoFile(path, beforeCreate);
  }

  // True once a restart was started.
  bool Restarted() const { return restarted_; }

 private:
  int Answer(uint32_t style);

  sys::RunLog& log_;
  bool silent_;
  bool noRestart_;
  const AnswersFile& answers_;
  size_t answersUsed_ = 0;
  bool lastAnswerFromFile_ = false;
  bool restarted_ = false;
};

}  // namespace app
