#include "ui/headless/HeadlessPeers.h"

#include <algorithm>
#include <exception>

#include "system/Platform.h"
#include "ui/Form.h"
#include "ui/MediaPlayer.h"
#include "ui/Timer.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {

void FormPeer::Changed(Change what) {
  if ((what == Change::Visible && form_.Visible()) || what == Change::ZOrder) {
    backend_.Render(form_);
  }
}

TimerPeer::TimerPeer(HeadlessBackend& backend, Timer& timer)
    : backend_(backend), timer_(timer), order_(backend.nextTimerOrder_++) {
  backend_.timers_.push_back(this);
  Restart();
}

TimerPeer::~TimerPeer() {
  auto& timers = backend_.timers_;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void TimerPeer::Changed(Change what) {
  if (what == Change::Timer || what == Change::Enabled) Restart();
}

void TimerPeer::Restart() {
  if (timer_.Enabled() && timer_.Interval() > 0) {
    deadline_ = backend_.Now() + timer_.Interval();
  } else {
    deadline_.reset();
  }
}

bool MediaPlayerPeer::Open() {
  playStart_.reset();
  try {
    open_ = !player_.FileName().empty() && sys::CurrentPlatform().FileExists(player_.FileName());
  } catch (const std::exception&) {
    open_ = false;
  }
  return open_;
}

void MediaPlayerPeer::Play() {
  if (open_) playStart_ = backend_.Now();
}

int64_t MediaPlayerPeer::Position() {
  if (!playStart_) return 0;
  return std::min(backend_.Now() - *playStart_, Length());
}

int64_t MediaPlayerPeer::Length() { return open_ ? backend_.MediaLengthMs : 0; }

}  // namespace ui::headless
