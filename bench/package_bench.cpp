// Figures of the package reader: LoadPackage on a configuration of 100,000 FileList entries;
// CopyEntryData throughput on a 256 MiB entry beside a bare zlib inflate loop over the same
// chunks; and the peak memory of that copy for a 64 MiB and a 256 MiB entry, which should not
// depend on the entry's size. Packages are written to a temporary host folder and removed.
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "package/LittleEndian.h"
#include "package/uSystem.h"
#include "system/Stream.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/packager/HostFileStream.h"
#include "tools/packager/PackageWriter.h"

namespace {

namespace fs = std::filesystem;
using bench::GeneratedStream;
using bench::Now;
double Seconds(double since) { return Now() - since; }

class NullStream : public sys::Stream {
 public:
  size_t Read(void*, size_t) override { return 0; }
  void Write(const void*, size_t count) override { size_ += static_cast<int64_t>(count); }
  void Seek(int64_t) override {}
  int64_t Position() const override { return size_; }
  int64_t Size() const override { return size_; }

 private:
  int64_t size_ = 0;
};

// Peak resident set since the last reset, in KiB (VmHWM); the reset makes a figure of one phase.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
long PeakKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}
long CurrentKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

// A package with one kind-0 entry of size bytes, written to host path.
TCompileFileData WriteBigPackage(const fs::path& path, int64_t size) {
  TCustomCompile project;
  auto entry = std::make_unique<TCompileFileData>();
  entry->SourcePath = "X:\\big.bin";
  project.FileList.push_back(std::move(entry));
  sys::MemoryStream stub(std::string(4096, 'M'));
  auto target = packager::CreateHostFile(path);
  packager::WritePackage(stub, project, "SERIAL", [size](size_t, const TCompileFileData&) {
    return std::make_unique<GeneratedStream>(size);
  }, *target);
  return *project.FileList[0];
}

// The same chunks through plain zlib: buffered reads, one inflate per chunk, output discarded.
int64_t BareInflate(const fs::path& path, int64_t start, int64_t end) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  std::setvbuf(file, nullptr, _IOFBF, 256 * 1024);
  std::fseek(file, static_cast<long>(start), SEEK_SET);
  std::vector<unsigned char> in(64 * 1024), out(8192 + 1);
  z_stream zs{};
  inflateInit(&zs);
  int64_t total = 0;
  for (int64_t pos = start; pos < end;) {
    unsigned char head[4];
    if (std::fread(head, 1, 4, file) != 4) break;
    uint32_t n = le::LoadU32(head);
    if (n > in.size()) in.resize(n);
    if (std::fread(in.data(), 1, n, file) != n) break;
    pos += 4 + n;
    inflateReset(&zs);
    zs.next_in = in.data();
    zs.avail_in = n;
    int rc;
    do {
      zs.next_out = out.data();
      zs.avail_out = static_cast<uInt>(out.size());
      rc = inflate(&zs, Z_NO_FLUSH);
      total += static_cast<int64_t>(out.size() - zs.avail_out);
    } while (rc == Z_OK);
  }
  inflateEnd(&zs);
  std::fclose(file);
  return total;
}

void BenchLoad(sys::sandbox::SandboxPlatform& platform) {
  constexpr int kEntries = 100000;
  TCustomCompile project;
  bench::AddFiles(project, kEntries);
  sys::MemoryStream stub(std::string(4096, 'M'));
  packager::WrittenPackage written;
  {
    auto target = platform.CreateForWrite("C:\\setup.exe");
    written = packager::WritePackage(stub, project, "SERIAL", {}, *target);
  }
  project.ClearLists();
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    TCompile compile(platform);
    auto start = Now();
    compile.LoadPackage("C:\\setup.exe");
    best = std::min(best, Seconds(start));
    if (compile.FileList.size() != kEntries) std::printf("  wrong entry count!\n");
  }
  std::printf("LoadPackage, %d FileList entries (configuration block %.1f MiB packed): %.1f ms\n",
              kEntries, (written.length - 16 - written.directoryOffset) / 1048576.0, best * 1e3);
}

void BenchCopy(sys::sandbox::SandboxPlatform& platform, const fs::path& folder) {
  for (int64_t mib : {64, 256}) {
    fs::path host = folder / ("drive_c/entry" + std::to_string(mib) + ".exe");
    const int64_t size = mib << 20;
    TCompileFileData entry = WriteBigPackage(host, size);
    std::string path = "C:\\entry" + std::to_string(mib) + ".exe";

    double ours = 1e9, bare = 1e9;
    long peakDelta = 0;
    for (int round = 0; round < 3; ++round) {
      auto source = platform.OpenForRead(path);
      NullStream sink;
      long before = CurrentKib();
      ResetPeak();
      auto start = Now();
      TCompile::CopyEntryData(*source, sink, entry.DataStart, entry.DataEnd);
      ours = std::min(ours, Seconds(start));
      peakDelta = PeakKib() - before;
      if (sink.Size() != size) std::printf("  wrong size %lld!\n", (long long)sink.Size());
      start = Now();
      int64_t total = BareInflate(host, entry.DataStart, entry.DataEnd);
      bare = std::min(bare, Seconds(start));
      if (total != size) std::printf("  bare loop: wrong size!\n");
    }
    std::printf("CopyEntryData, %lld MiB entry (%.1f MiB packed): %.0f MiB/s; bare zlib loop "
                "%.0f MiB/s; ratio %.2f; peak memory during the copy +%ld KiB\n",
                (long long)mib, (entry.DataEnd - entry.DataStart) / 1048576.0, mib / ours,
                mib / bare, bare / ours, peakDelta);
    fs::remove(host);
  }
}

}  // namespace

int main() {
  fs::path folder = fs::temp_directory_path() / ("package-bench-" + std::to_string(::getpid()));
  {
    sys::sandbox::SandboxPlatform platform(folder);
    BenchCopy(platform, folder);
    BenchLoad(platform);
  }
  fs::remove_all(folder);
}
