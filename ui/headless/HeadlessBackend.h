// The in-memory backend: peers hold nothing beyond the portable state, timers run on a virtual
// clock that only the test (or the simulation) advances, and modal loops ask a scripted person
// (OnIdle) what to do. Nothing sleeps and nothing waits for real time.
//
// A modal loop, until its form has a result or is hidden: fire the timers that are due now;
// else call OnIdle with the top form; when OnIdle has nothing to do (false), advance the clock
// to the next enabled timer of any live form and fire it. With no enabled timer the form would
// wait forever, and the loop throws AutomationError instead (as it does when ten virtual
// minutes pass with only timers firing, or OnIdle keeps claiming work without end).
//
// Renderings: whenever a top-level form is shown or a page form is brought to the front, the
// text rendering of its top-level form (RenderForm) goes to OnRender, unless it equals the last.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Backend.h"

namespace ui {

class Timer;

namespace headless {
class TimerPeer;
}  // namespace headless

class HeadlessBackend : public Backend {
 public:
  static constexpr int64_t kMaxTimerOnlyWaitMs = 10 * 60 * 1000;
  static constexpr int kMaxIdleCalls = 1000000;

  HeadlessBackend();
  ~HeadlessBackend() override;

  std::unique_ptr<Peer> CreatePeer(Control& control) override;
  int RunModal(Form& form) override;
  // Fires nothing (the clock stands still); counts the calls, so tests can see a long task
  // keeping its window responsive.
  void ProcessMessages() override { ++processMessagesCalls_; }
  int ProcessMessagesCalls() const { return processMessagesCalls_; }

  std::function<bool(Form& top)> OnIdle;
  std::function<void(const std::string& rendering)> OnRender;

  // Moves the clock on, firing the due timers of every live form in deadline order (timers of
  // one deadline in creation order).
  void AdvanceClock(int64_t ms);
  int64_t Now() const { return now_; }
  // Fires the named timer of the form now and restarts its count; AutomationError when the
  // form has no timer of that name or it is disabled.
  void FireTimer(Form& form, const std::string& timerName);
  // Innermost last.
  std::vector<Form*> ModalStack() { return modalStack_; }

  // How long a media player's piece lasts here (a file is not decoded).
  int64_t MediaLengthMs = 60 * 1000;

  // Sends the rendering of form's top-level form to OnRender when it is showing.
  void Render(Form& form);

 private:
  friend class headless::TimerPeer;
  // Fires the first timer due at or before limit; false when none is.
  bool FireNextDue(int64_t limit);
  headless::TimerPeer* NextTimer() const;

  int64_t now_ = 0;
  uint64_t nextTimerOrder_ = 0;
  std::vector<headless::TimerPeer*> timers_;
  std::vector<Form*> modalStack_;
  std::string lastRendering_;
  int processMessagesCalls_ = 0;
};

}  // namespace ui
