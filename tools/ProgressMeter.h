// A byte-based progress line for long commands on a terminal: "[#####.....] 120.0 / 3072.0 MiB
// 215.3 MiB/s", redrawn in place at most ten times a second. Silent when the stream is not a
// terminal (or the tool runs quietly), so logs and pipes get no carriage returns.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>

#include "package/uSystem.h"
#include "system/Stream.h"

namespace tool {

class ProgressMeter {
 public:
  // shown: whether to draw at all (a terminal, not -q).
  ProgressMeter(std::ostream& out, bool shown, int64_t total);
  ~ProgressMeter();
  ProgressMeter(const ProgressMeter&) = delete;
  ProgressMeter& operator=(const ProgressMeter&) = delete;

  void Advance(int64_t bytes);
  // Takes the line off the terminal, so that other output can follow.
  void Clear();

 private:
  void Draw();

  std::ostream& out_;
  bool shown_;
  bool drawn_ = false;
  int64_t total_;
  int64_t done_ = 0;
  double started_;
  double lastDrawn_ = 0;
};

// The bytes the entries' data runs take in a package: what verify and extract walk through.
int64_t StoredBytes(const TCustomCompile& project);

// Whether the command's stream is the process's terminal (std::cout or std::cerr on a tty).
bool IsTerminal(const std::ostream& stream);

// A stream that reports every byte read from inner to meter.
std::unique_ptr<sys::Stream> MeteredStream(std::unique_ptr<sys::Stream> inner, ProgressMeter& meter);

}  // namespace tool
