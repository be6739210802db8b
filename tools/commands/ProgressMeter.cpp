#include "tools/commands/ProgressMeter.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "tools/host/HostSystem.h"

namespace tool {
namespace {

double Now() { return host::MonotonicSeconds(); }

class Metered : public sys::Stream {
 public:
  Metered(std::unique_ptr<sys::Stream> owned, sys::Stream& inner, ProgressMeter& meter)
      : owned_(std::move(owned)), inner_(inner), meter_(meter) {}
  size_t Read(void* buffer, size_t count) override {
    size_t read = inner_.Read(buffer, count);
    meter_.Advance(static_cast<int64_t>(read));
    return read;
  }
  void Write(const void* buffer, size_t count) override { inner_.Write(buffer, count); }
  void Seek(int64_t position) override { inner_.Seek(position); }
  int64_t Position() const override { return inner_.Position(); }
  int64_t Size() const override { return inner_.Size(); }

 private:
  std::unique_ptr<sys::Stream> owned_;
  sys::Stream& inner_;
  ProgressMeter& meter_;
};

}  // namespace

std::string ByteText(int64_t bytes) {
  static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
  if (bytes < 1024) return std::to_string(bytes) + " B";
  double value = static_cast<double>(bytes) / 1024.0;
  size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

int64_t StoredBytes(const TCustomCompile& project) {
  int64_t total = 0;
  for (const auto& entry : project.FileList) {
    if (entry->EntryKind != package::kEntryFolder && entry->DataEnd > entry->DataStart) {
      total += entry->DataEnd - entry->DataStart;
    }
  }
  return total;
}

bool IsTerminal(const std::ostream& stream) {
  if (&stream == &std::cout) return host::IsTerminal(host::StandardStream::Output);
  if (&stream == &std::cerr) return host::IsTerminal(host::StandardStream::Error);
  return false;
}

ProgressMeter::ProgressMeter(std::ostream& out, bool shown, int64_t total,
                             ProgressObserver observer)
    : out_(out),
      shown_(shown),
      total_(total),
      observer_(std::move(observer)),
      started_(Now()),
      lastDrawn_(started_ - 1.0) {}

ProgressMeter::~ProgressMeter() {
  Clear();
  if (observer_) observer_(done_, total_);
}

void ProgressMeter::Advance(int64_t bytes) {
  done_ += bytes;
  if (!shown_) return;
  if (Now() - lastDrawn_ < 0.1) return;
  Draw();
}

void ProgressMeter::Redraw() {
  if (shown_) Draw();
}

void ProgressMeter::Draw() {
  constexpr int64_t kWidth = 30;
  lastDrawn_ = Now();
  const int64_t filled = total_ > 0 ? kWidth * std::min(done_, total_) / total_ : 0;
  const double seconds = lastDrawn_ - started_;
  const std::string rate =
      seconds > 0.05 ? ByteText(static_cast<int64_t>(static_cast<double>(done_) / seconds)) + "/s"
                     : "-";
  std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(kWidth - filled), '.') + "] " +
                     ByteText(done_) + " / " + ByteText(total_) + "  " + rate;
  const size_t length = line.size();
  if (length < drawnLength_) line.append(drawnLength_ - length, ' ');
  out_ << "\r" << line << std::flush;
  drawnLength_ = length;
}

void ProgressMeter::Clear() {
  if (drawnLength_ > 0) out_ << "\r" << std::string(drawnLength_, ' ') << "\r" << std::flush;
  drawnLength_ = 0;
}

std::unique_ptr<sys::Stream> MeteredStream(std::unique_ptr<sys::Stream> inner, ProgressMeter& meter) {
  sys::Stream& borrowed = *inner;
  return std::make_unique<Metered>(std::move(inner), borrowed, meter);
}

std::unique_ptr<sys::Stream> MeteredStream(sys::Stream& inner, ProgressMeter& meter) {
  return std::make_unique<Metered>(nullptr, inner, meter);
}

}  // namespace tool
