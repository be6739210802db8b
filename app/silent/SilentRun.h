// The silent run (/S): the setup run's own windows, hosted on the in-memory backend so that not
// one window is created, with a person in front of them who does what the answers file says
// and otherwise what a person pressing Enter would: on each wizard page, the first time it
// shows, its answered controls are brought to their state; then Next, Finish on the last page,
// Cancel once on the answers' cancelOn page. The question boxes are the session platform's
// (SessionPlatform.h). setup-tool simulate runs this same code with the same switches.
//
// Unlike a person at the wizard, the silent run opens neither the program nor the readme at
// the end unless the answers tick them: a deployment runs where nobody watches, often as SYSTEM.
#pragma once

#include <set>
#include <string>

class TCompile;
class TInstall;
class TfrmParent;

namespace sys {
class Platform;
class RunLog;
}  // namespace sys
namespace ui {
class Form;
}

namespace app {

struct AnswersFile;

// Throws AnswersError when a page is not a wizard page class this program carries, a control
// is not on its page or is of another kind than its value (a check box takes true/false, an
// edit a text, a check list a list of marks), or cancelOn names no page class. The page
// classes must be registered.
void CheckAnswers(const AnswersFile& answers);

// Makes the choices a silent run cannot leave to a page before any window opens: no program
// or readme opened at the end (the finish page's boxes are unticked as they show).
void PrepareSilentRun(TCompile& compile);

// TInstall::Present on the in-memory backend with the silent person. Errors that end the run
// leave it as in Present; an answer no person could carry out (a hidden or disabled control)
// throws AnswersError.
void PresentSilently(TInstall& install, const AnswersFile& answers, sys::Platform& platform,
                     sys::RunLog& log);

class SilentPerson {
 public:
  SilentPerson(const AnswersFile& answers, sys::Platform& platform, sys::RunLog& log)
      : answers_(answers), platform_(platform), log_(log) {}

  // False when there is nothing to do but wait for the window's timers.
  bool Act(ui::Form& top);

 private:
  bool ActOnFrame(TfrmParent& frame);
  void Press(ui::Form& form, const std::string& spot, const std::string& button);

  const AnswersFile& answers_;
  sys::Platform& platform_;
  sys::RunLog& log_;
  std::set<std::string> pagesSet_;
  std::set<std::string> cancelPressed_;
};

}  // namespace app
