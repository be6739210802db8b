// What the benchmark programs share: a monotonic clock, content made on the fly and the file list
// of a large honest project.
// <chrono> cannot be compiled with the GBK execution character set (its "µs" literal), so the
// clock is POSIX's.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstdint>

#include <memory>
#include <string>

#include "package/uSystem.h"
#include "system/Stream.h"

namespace bench {

// Seconds on the monotonic clock.
inline double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Pseudo-random text-like content made on the fly, so a 256 MiB entry never sits in memory;
// it compresses about as well as real program files do.
class GeneratedStream : public sys::Stream {
 public:
  explicit GeneratedStream(int64_t size) : size_(size) {}
  size_t Read(void* buffer, size_t count) override {
    auto* out = static_cast<unsigned char*>(buffer);
    size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size_ - pos_));
    for (size_t i = 0; i < n; ++i) {
      state_ ^= state_ << 13;
      state_ ^= state_ >> 7;
      state_ ^= state_ << 17;
      out[i] = static_cast<unsigned char>("etaoin shrdlu\r\n0123456789"[state_ % 25]);
    }
    pos_ += static_cast<int64_t>(n);
    return n;
  }
  void Write(const void*, size_t) override {}
  void Seek(int64_t position) override { pos_ = position; }
  int64_t Position() const override { return pos_; }
  int64_t Size() const override { return size_; }

 private:
  int64_t size_;
  int64_t pos_ = 0;
  uint64_t state_ = 88172645463325252ull;
};

// count FileList entries as a large honest project has them: Chinese names, 100 to a folder.
inline void AddFiles(TCustomCompile& project, int count) {
  for (int i = 0; i < count; ++i) {
    auto e = std::make_unique<TCompileFileData>();
    std::string dir = "模块" + std::to_string(i / 100);
    e->EntryName = "文件" + std::to_string(i) + ".dat";
    e->SourcePath = "X:\\工程\\源文件\\" + dir + "\\" + e->EntryName;
    e->DestFolder = "目标计算机\\Program Files\\" + dir + "\\";
    e->FileTime = 45000.25;
    project.FileList.push_back(std::move(e));
  }
}

}  // namespace bench
