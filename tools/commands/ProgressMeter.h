// A byte-based progress line for long commands on a terminal: "[#####.....] 120.0 MiB / 3.0 GiB
// 215.3 MiB/s", redrawn in place at most ten times a second. Silent when the stream is not a
// terminal (or the tool runs quietly), so logs and pipes get no carriage returns. A shorter line
// is padded over the longer one before it with spaces, not erased with an escape sequence, which
// the Windows console of setup-tool.exe would print as it stands. What it
// counted is handed to an observer when it ends, whether drawn or not (the commands' tests
// watch the counting there).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "package/uSystem.h"
#include "system/Stream.h"

namespace tool {

// Told the bytes a meter counted and its total, once, when the meter ends.
using ProgressObserver = std::function<void(int64_t counted, int64_t total)>;

class ProgressMeter {
 public:
  // shown: whether to draw at all (a terminal, not -q).
  ProgressMeter(std::ostream& out, bool shown, int64_t total, ProgressObserver observer = {});
  ~ProgressMeter();
  ProgressMeter(const ProgressMeter&) = delete;
  ProgressMeter& operator=(const ProgressMeter&) = delete;

  void Advance(int64_t bytes);
  // Draws the line now, whatever the time since the last drawing (after other output took it
  // off the terminal).
  void Redraw();
  // Takes the line off the terminal, so that other output can follow.
  void Clear();

  int64_t counted() const { return done_; }

 private:
  void Draw();

  std::ostream& out_;
  bool shown_;
  size_t drawnLength_ = 0;  // of the line on the terminal; 0 when none is
  int64_t total_;
  int64_t done_ = 0;
  ProgressObserver observer_;
  double started_;  // seconds on a monotonic clock
  double lastDrawn_;
};

// "512 B", "19.5 KiB", "120.0 MiB", "3.0 GiB".
std::string ByteText(int64_t bytes);

// The bytes the entries' data runs take in a package: what verify and extract walk through.
int64_t StoredBytes(const TCustomCompile& project);

// Whether the command's stream is the process's terminal (std::cout or std::cerr on a tty).
bool IsTerminal(const std::ostream& stream);

// A stream that reports every byte read from inner to meter; the second form borrows inner.
std::unique_ptr<sys::Stream> MeteredStream(std::unique_ptr<sys::Stream> inner, ProgressMeter& meter);
std::unique_ptr<sys::Stream> MeteredStream(sys::Stream& inner, ProgressMeter& meter);

}  // namespace tool
