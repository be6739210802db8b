#include "tools/ProgressMeter.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

namespace tool {
namespace {

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string Mebibytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

class Metered : public sys::Stream {
 public:
  Metered(std::unique_ptr<sys::Stream> inner, ProgressMeter& meter)
      : inner_(std::move(inner)), meter_(meter) {}
  size_t Read(void* buffer, size_t count) override {
    size_t read = inner_->Read(buffer, count);
    meter_.Advance(static_cast<int64_t>(read));
    return read;
  }
  void Write(const void* buffer, size_t count) override { inner_->Write(buffer, count); }
  void Seek(int64_t position) override { inner_->Seek(position); }
  int64_t Position() const override { return inner_->Position(); }
  int64_t Size() const override { return inner_->Size(); }

 private:
  std::unique_ptr<sys::Stream> inner_;
  ProgressMeter& meter_;
};

}  // namespace

int64_t StoredBytes(const TCustomCompile& project) {
  int64_t total = 0;
  for (const auto& entry : project.FileList) {
    if (entry->EntryKind != kEntryFolder && entry->DataEnd > entry->DataStart) {
      total += entry->DataEnd - entry->DataStart;
    }
  }
  return total;
}

bool IsTerminal(const std::ostream& stream) {
  if (&stream == &std::cout) return isatty(STDOUT_FILENO) != 0;
  if (&stream == &std::cerr) return isatty(STDERR_FILENO) != 0;
  return false;
}

ProgressMeter::ProgressMeter(std::ostream& out, bool shown, int64_t total)
    : out_(out), shown_(shown), total_(total), started_(Now()) {}

ProgressMeter::~ProgressMeter() { Clear(); }

void ProgressMeter::Advance(int64_t bytes) {
  done_ += bytes;
  if (!shown_) return;
  double now = Now();
  if (now - lastDrawn_ < 0.1) return;
  lastDrawn_ = now;
  Draw();
}

void ProgressMeter::Draw() {
  constexpr int kWidth = 30;
  int filled = total_ > 0 ? static_cast<int>(kWidth * std::min(done_, total_) / total_) : 0;
  double seconds = Now() - started_;
  std::string rate = seconds > 0 ? Mebibytes(static_cast<int64_t>(done_ / seconds)) : "-";
  out_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
       << Mebibytes(done_) << " / " << Mebibytes(total_) << " MiB  " << rate << " MiB/s\033[K"
       << std::flush;
  drawn_ = true;
}

void ProgressMeter::Clear() {
  if (drawn_) out_ << "\r\033[K" << std::flush;
  drawn_ = false;
}

std::unique_ptr<sys::Stream> MeteredStream(std::unique_ptr<sys::Stream> inner, ProgressMeter& meter) {
  return std::make_unique<Metered>(std::move(inner), meter);
}

}  // namespace tool
