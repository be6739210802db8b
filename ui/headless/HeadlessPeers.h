// The headless peers: the portable controls hold all state, so most peers only watch for what
// the backend must act on (a form shown or brought to the front, a timer's count, a player).
#pragma once

#include <cstdint>
#include <optional>

#include "ui/Peer.h"

namespace ui {

class Control;
class Form;
class HeadlessBackend;
class MediaPlayer;
class Timer;

namespace headless {

// Controls whose whole state is their portable state.
class StatePeer : public Peer {
 public:
  void Changed(Change) override {}
};

class FormPeer : public Peer {
 public:
  FormPeer(HeadlessBackend& backend, Form& form) : backend_(backend), form_(form) {}
  void Changed(Change what) override;

 private:
  HeadlessBackend& backend_;
  Form& form_;
};

class TimerPeer : public Peer {
 public:
  TimerPeer(HeadlessBackend& backend, Timer& timer);
  ~TimerPeer() override;
  void Changed(Change what) override;

  Timer& GetTimer() { return timer_; }
  // Empty while the timer is disabled or its interval is 0.
  std::optional<int64_t> Deadline() const { return deadline_; }
  uint64_t Order() const { return order_; }
  // Starts a new count from the backend's clock.
  void Restart();

 private:
  HeadlessBackend& backend_;
  Timer& timer_;
  uint64_t order_;
  std::optional<int64_t> deadline_;
};

class MediaPlayerPeer : public MediaPeer {
 public:
  MediaPlayerPeer(HeadlessBackend& backend, MediaPlayer& player)
      : backend_(backend), player_(player) {}
  void Changed(Change) override {}
  bool Open() override;
  void Play() override;
  int64_t Position() override;
  int64_t Length() override;

 private:
  HeadlessBackend& backend_;
  MediaPlayer& player_;
  bool open_ = false;
  std::optional<int64_t> playStart_;
};

}  // namespace headless
}  // namespace ui
