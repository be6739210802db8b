// Peak memory of LoadPackage for the packages that make it hold the most: configuration blocks
// of chunks of zeros unpacking to the 256 MiB cap (in the packager's 8 KiB chunks, in the
// largest chunks the reader accepts and in the chunk size that is worst for a buffer growing by
// doubling), a block one chunk over the cap, a block of the smallest
// settings records filling the cap, and an honest large package of 100,000 files. Each package
// is loaded in a child process, so each peak is that load's alone; the figure is the child's
// peak resident set less that of a child that loads nothing, and its CPU time (not wall time:
// the machines are shared).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "bench/BenchSupport.h"
#include "package/ChunkCodec.h"
#include "package/LittleEndian.h"
#include "package/PackageFormat.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Stream.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/packager/PackageWriter.h"

namespace {

namespace fs = std::filesystem;
constexpr const char* kSetupPath = "C:\\setup.exe";

// stub, reserved bytes, the configuration block as given, the trailer.
void WriteRawPackage(sys::sandbox::SandboxPlatform& platform,
                     const std::function<void(sys::Stream&)>& writeBlock) {
  auto file = platform.CreateForWrite(kSetupPath);
  const std::string head(4096 + package::kReservedSize, 'M');
  file->Write(head.data(), head.size());
  const auto directory = static_cast<int64_t>(head.size());
  writeBlock(*file);
  le::WriteI64(*file, 0);
  le::WriteI64(*file, directory);
}

// count chunk records, each the same zlib stream of chunkBytes zeros.
void ZeroChunks(sys::Stream& target, size_t chunkBytes, int64_t count) {
  const std::string zeros(chunkBytes, '\0');
  const std::string packed = package::ChunkDeflater(cplPress).Compress(
      reinterpret_cast<const unsigned char*>(zeros.data()), zeros.size());
  for (int64_t i = 0; i < count; ++i) {
    le::WriteU32(target, static_cast<uint32_t>(packed.size()));
    target.Write(packed.data(), packed.size());
  }
}

// An InfoList of the smallest records (empty caption and value) filling the cap, then the
// empty remainder of a configuration.
void SmallestRecords(sys::Stream& target) {
  sys::MemoryStream config;
  const int32_t count =
      static_cast<int32_t>((package::kMaxConfigurationSize - 64) / package::kMinInfoItemBytes);
  le::WriteI32(config, count);
  const std::string record(package::kMinInfoItemBytes, '\0');
  for (int32_t i = 0; i < count; ++i) config.Write(record.data(), record.size());
  // The three folder lists, the four other counts and the serial, all empty.
  const std::string rest(8 * 4, '\0');
  config.Write(rest.data(), rest.size());
  config.Seek(0);
  package::ChunkDeflater(cplSpeed).WriteRun(config, target);
}

void HonestLarge(sys::sandbox::SandboxPlatform& platform) {
  TCustomCompile project;
  bench::AddFiles(project, 100000);
  sys::MemoryStream stub(std::string(4096, 'M'));
  auto target = platform.CreateForWrite(kSetupPath);
  packager::WritePackage(stub, project, "SERIAL", {}, *target);
}

// Runs action in a child process; its peak resident set (KiB) and CPU time (s).
std::pair<long, double> InChild(const std::function<void()>& action) {
  pid_t child = fork();
  if (child == 0) {
    action();
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return {usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

void Measure(sys::sandbox::SandboxPlatform& platform, const char* name, long baselineKib) {
  const int64_t packed = platform.OpenForRead(kSetupPath)->Size();
  std::string outcome;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  auto [peak, seconds] = InChild([&] {
    close(pipeFds[0]);
    std::string result;
    TCompile compile(platform);
    try {
      compile.LoadPackage(kSetupPath);
      result = "loaded, " + std::to_string(compile.InfoList.size() + compile.FileList.size()) +
               " records";
    } catch (const sys::Error&) {
      result = "refused as damaged";
    } catch (const std::bad_alloc&) {
      result = "out of memory";
    }
    if (write(pipeFds[1], result.data(), result.size()) < 0) _exit(1);
  });
  close(pipeFds[1]);
  char buffer[256] = {};
  if (read(pipeFds[0], buffer, sizeof buffer - 1) > 0) outcome = buffer;
  close(pipeFds[0]);
  std::printf("%-44s %6.2f MiB packed  peak +%7.1f MiB  %6.2f s CPU  %s\n", name, packed / 1048576.0,
              (peak - baselineKib) / 1024.0, seconds, outcome.c_str());
}

}  // namespace

int main() {
  fs::path folder = fs::temp_directory_path() / ("memory-bench-" + std::to_string(::getpid()));
  {
    sys::sandbox::SandboxPlatform platform(folder);
    const long baseline = InChild([] {}).first;
    std::printf(
        "LoadPackage peak memory above a process that loads nothing (%.1f MiB); cap on "
        "the unpacked configuration %lld MiB\n",
        baseline / 1024.0, static_cast<long long>(package::kMaxConfigurationSize >> 20));
    const int64_t cap = package::kMaxConfigurationSize;
    WriteRawPackage(platform, [&](sys::Stream& s) {
      ZeroChunks(s, package::kChunkBlockSize, cap / package::kChunkBlockSize);
    });
    Measure(platform, "zeros to the cap, 8 KiB chunks", baseline);
    WriteRawPackage(platform, [&](sys::Stream& s) {
      ZeroChunks(s, package::kMaxChunkOutput, cap / package::kMaxChunkOutput);
    });
    Measure(platform, "zeros to the cap, 1 MiB chunks", baseline);
    // Chunks of 261,888 bytes: 1,025 of them fit the cap, and a buffer that doubles from the
    // first chunk is full at 1,024 of them, so it doubles once more right below the cap.
    WriteRawPackage(platform, [&](sys::Stream& s) { ZeroChunks(s, 261888, 1025); });
    Measure(platform, "zeros to the cap, 261,888-byte chunks", baseline);
    WriteRawPackage(platform, [&](sys::Stream& s) {
      ZeroChunks(s, package::kMaxChunkOutput, cap / package::kMaxChunkOutput + 1);
    });
    Measure(platform, "zeros one 1 MiB chunk over the cap", baseline);
    WriteRawPackage(platform, SmallestRecords);
    Measure(platform, "smallest settings records filling the cap", baseline);
    HonestLarge(platform);
    Measure(platform, "honest: 100,000 files", baseline);
  }
  fs::remove_all(folder);
}
