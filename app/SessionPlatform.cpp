#include "app/SessionPlatform.h"

#include "app/AnswersFile.h"
#include "system/RunLog.h"

namespace app {

namespace {

const char* AnswerName(int answer) {
  switch (answer) {
    case sys::kIdYes:
      return "是";
    case sys::kIdNo:
      return "否";
    default:
      return "确定";
  }
}

bool AsksYesOrNo(uint32_t style) { return (style & 0xF) == sys::kMbYesNo; }

}  // namespace

SessionPlatform::SessionPlatform(sys::Platform& inner, sys::RunLog& log, bool silent,
                                 bool noRestart, const AnswersFile& answers)
    : ForwardingPlatform(inner),
      log_(log),
      silent_(silent),
      noRestart_(noRestart),
      answers_(answers) {}

void SessionPlatform::SetOwnerWindow(uintptr_t window) {
  if (!silent_) inner().SetOwnerWindow(window);
}

int SessionPlatform::ShowMessageBox(const std::string& text, const std::string& caption,
                                    uint32_t style) {
  int answer = silent_ ? Answer(style) : inner().ShowMessageBox(text, caption, style);
  if (!silent_) lastAnswerFromFile_ = true;  // a person answered it
  log_.Line(std::string("[box] ") + caption + ": " + text + " -> " + AnswerName(answer) +
            (silent_ ? " (silent)" : ""));
  return answer;
}

int SessionPlatform::Answer(uint32_t style) {
  if (!AsksYesOrNo(style)) return sys::kIdOk;
  lastAnswerFromFile_ = true;
  if (answersUsed_ < answers_.answers.size()) return answers_.answers[answersUsed_++];
  if (answers_.defaultAnswer) return *answers_.defaultAnswer;
  lastAnswerFromFile_ = false;
  return sys::kIdYes;
}

bool SessionPlatform::RestartSystem(uint32_t flags) {
  if (noRestart_) {
    log_.Line("[restart] not done: /NORESTART");
    return false;
  }
  if (!lastAnswerFromFile_) {
    log_.Line("[restart] not done: a silent run restarts only when the answers file says yes");
    return false;
  }
  log_.Line("[restart] restarting the system");
  restarted_ = true;
  return inner().RestartSystem(flags);
}

}  // namespace app
