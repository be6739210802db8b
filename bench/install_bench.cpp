// Figures of the install run on the sandbox: Install of 20,000 and of 40,000 small files (the
// ratio shows whether the run stays linear in the number of files) beside a bare host loop over
// as many files in the same kind of folder (in memory), best of 3; the platform calls the run
// makes per installed file, as every platform pays for them (the journal's included); and the
// throughput of one 256 MiB file beside a bare loop that inflates the same chunks and writes
// them to a host file. Every machine lives in its own temporary host folder, removed at the end.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/InstallRun.h"
#include "package/LittleEndian.h"
#include "package/uSystem.h"
#include "system/ForwardingPlatform.h"
#include "system/Platform.h"
#include "system/Stream.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/packager/HostFileStream.h"
#include "tools/packager/PackageWriter.h"

namespace {

namespace fs = std::filesystem;
using bench::GeneratedStream;
using bench::Now;

constexpr const char* kSetup = "C:\\setup.exe";

// User time of the process so far: the run's own work, without the kernel's.
// The processor time of the process, its own and the kernel's on its behalf: on a machine
// shared with other work a steadier measure than the clock, which also counts the waits.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A fresh machine in its own host folder, removed with it.
// In memory (/dev/shm) when asked: there the figures of many small files show the run's own
// scaling, not the host disk's inode allocator, whose cost on ext4 grows with every file any
// process on the host has just deleted.
struct Machine {
  Machine(const std::string& tag, bool inMemory)
      : folder((inMemory && fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                         : fs::temp_directory_path()) /
               ("install-bench-" + tag + "-" + std::to_string(::getpid()))),
        platform(std::make_unique<sys::sandbox::SandboxPlatform>(folder)) {}
  ~Machine() {
    platform.reset();
    fs::remove_all(folder);
  }
  fs::path folder;
  std::unique_ptr<sys::sandbox::SandboxPlatform> platform;
};

void WritePackage(sys::Platform& platform, TCustomCompile& project, int64_t contentSize) {
  sys::MemoryStream stub(std::string(4096, 'M'));
  auto target = platform.CreateForWrite(kSetup);
  packager::WritePackage(stub, project, "SERIAL", [contentSize](size_t, const TCompileFileData&) {
    return std::make_unique<GeneratedStream>(contentSize);
  }, *target);
}

// The calls that reach the machine, by kind.
struct CallCounts {
  int64_t lookups = 0;        // FileExists, DirectoryExists, LastWriteTime
  int64_t creates = 0;        // CreateForWrite
  int64_t writes = 0;         // Stream::Write on a created file
  int64_t timesOnHandle = 0;  // Stream::SetLastWriteTime
  int64_t timesByName = 0;    // Platform::SetLastWriteTime: a second open of the file
  int64_t moves = 0;          // MoveReplacing
  int64_t folders = 0;        // ForceDirectories
};

class CountingStream : public sys::Stream {
 public:
  CountingStream(std::unique_ptr<sys::Stream> inner, CallCounts& counts)
      : inner_(std::move(inner)), counts_(counts) {}
  size_t Read(void* buffer, size_t count) override { return inner_->Read(buffer, count); }
  void Write(const void* buffer, size_t count) override {
    ++counts_.writes;
    inner_->Write(buffer, count);
  }
  void Seek(int64_t position) override { inner_->Seek(position); }
  int64_t Position() const override { return inner_->Position(); }
  int64_t Size() const override { return inner_->Size(); }
  bool SetLastWriteTime(uint64_t utc) override {
    ++counts_.timesOnHandle;
    return inner_->SetLastWriteTime(utc);
  }

 private:
  std::unique_ptr<sys::Stream> inner_;
  CallCounts& counts_;
};

class CountingPlatform : public sys::ForwardingPlatform {
 public:
  CountingPlatform(sys::Platform& inner, CallCounts& counts) : ForwardingPlatform(inner), counts_(counts) {}
  bool FileExists(const std::string& path) const override {
    ++counts_.lookups;
    return inner().FileExists(path);
  }
  bool DirectoryExists(const std::string& path) const override {
    ++counts_.lookups;
    return inner().DirectoryExists(path);
  }
  std::optional<sys::FileTime> LastWriteTime(const std::string& path) const override {
    ++counts_.lookups;
    return inner().LastWriteTime(path);
  }
  std::unique_ptr<sys::Stream> CreateForWrite(const std::string& path) override {
    ++counts_.creates;
    return std::make_unique<CountingStream>(inner().CreateForWrite(path), counts_);
  }
  bool SetLastWriteTime(const std::string& path, sys::FileTime utc) override {
    ++counts_.timesByName;
    return inner().SetLastWriteTime(path, utc);
  }
  bool MoveReplacing(const std::string& source, const std::string& target) override {
    ++counts_.moves;
    return inner().MoveReplacing(source, target);
  }
  bool ForceDirectories(const std::string& path) override {
    ++counts_.folders;
    return inner().ForceDirectories(path);
  }

 private:
  CallCounts& counts_;
};

struct Timing {
  double wall = 0;
  double cpu = 0;  // processor time of the process (CpuSeconds)
};

Timing InstallTiming(sys::Platform& platform) {
  sys::ScopedCurrentPlatform current(platform);
  TCompile compile(platform, &engine::RunInstall);
  compile.LoadPackage(kSetup);
  compile.Options.InstallDir = "C:\\Apps\\Bench";
  const double start = Now();
  const double cpuStart = CpuSeconds();
  compile.Install(kSetup);
  return {Now() - start, CpuSeconds() - cpuStart};
}

// Files of 300 bytes, 100 to a folder, as a large application ships them. The machine is left
// for the caller to remove: removing many files just before creating many more makes the host
// file system search its recently freed inodes, a cost that is not the run's.
Timing SmallFiles(Machine& machine, int count) {
  TCustomCompile project;
  for (int i = 0; i < count; ++i) {
    auto e = std::make_unique<TCompileFileData>();
    const std::string dir = "模块" + std::to_string(i / 100);
    e->EntryName = "文件" + std::to_string(i) + ".dat";
    e->SourcePath = "X:\\工程\\" + dir + "\\" + e->EntryName;
    e->DestFolder = "目标计算机\\Program Files\\" + dir + "\\";
    e->FileTime = 45000.25;
    project.FileList.push_back(std::move(e));
  }
  WritePackage(*machine.platform, project, 300);
  return InstallTiming(*machine.platform);
}

// The bare host work of the same small files: per file a folder made when it changes, then
// create "NAME.tmp", write the bytes, set the time, rename over NAME. No inflate, no log, no
// checks: the floor that the sandbox's own work is measured against.
Timing BareSmallFiles(const fs::path& root, int count) {
  const std::string bytes(300, 'x');
  const timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
  const double start = Now();
  const double cpuStart = CpuSeconds();
  std::string folder;
  for (int i = 0; i < count; ++i) {
    std::string wanted = (root / ("模块" + std::to_string(i / 100))).string();
    if (wanted != folder) {
      fs::create_directories(wanted);
      folder = wanted;
    }
    const std::string target = folder + "/文件" + std::to_string(i) + ".dat";
    const std::string temporary = target + ".tmp";
    int fd = ::open(temporary.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::futimens(fd, times) != 0 || ::close(fd) != 0 ||
        std::rename(temporary.c_str(), target.c_str()) != 0) {
      std::perror("bare loop");
      std::exit(1);
    }
  }
  return {Now() - start, CpuSeconds() - cpuStart};
}

// The bare work of unpacking one entry: buffered reads, one inflate per chunk, fwrite.
double BareInflateAndWrite(const fs::path& package, int64_t start, int64_t end,
                           const fs::path& output) {
  const double begin = Now();
  std::FILE* in = std::fopen(package.c_str(), "rb");
  std::FILE* out = std::fopen(output.c_str(), "wb");
  std::fseek(in, static_cast<long>(start), SEEK_SET);
  std::vector<unsigned char> chunk(64 * 1024), buffer(8192 + 1);
  z_stream zs{};
  inflateInit(&zs);
  for (int64_t pos = start; pos < end;) {
    unsigned char head[4];
    if (std::fread(head, 1, 4, in) != 4) break;
    const uint32_t n = le::LoadU32(head);
    if (n > chunk.size()) chunk.resize(n);
    if (std::fread(chunk.data(), 1, n, in) != n) break;
    pos += 4 + n;
    inflateReset(&zs);
    zs.next_in = chunk.data();
    zs.avail_in = n;
    int rc;
    do {
      zs.next_out = buffer.data();
      zs.avail_out = static_cast<uInt>(buffer.size());
      rc = inflate(&zs, Z_NO_FLUSH);
      std::fwrite(buffer.data(), 1, buffer.size() - zs.avail_out, out);
    } while (rc == Z_OK);
  }
  inflateEnd(&zs);
  std::fclose(out);
  std::fclose(in);
  return Now() - begin;
}

// The calls an install of count small files makes, less those of an install of none (the log,
// the uninstaller registration), per file.
void CallsPerFile(int count) {
  CallCounts counts[2];
  const int sizes[2] = {0, count};
  for (int i = 0; i < 2; ++i) {
    Machine machine("calls" + std::to_string(i), true);
    TCustomCompile project;
    for (int n = 0; n < sizes[i]; ++n) {
      auto e = std::make_unique<TCompileFileData>();
      e->EntryName = "文件" + std::to_string(n) + ".dat";
      e->SourcePath = "X:\\工程\\" + e->EntryName;
      e->DestFolder = "目标计算机\\Program Files\\模块" + std::to_string(n / 100) + "\\";
      e->FileTime = 45000.25;
      project.FileList.push_back(std::move(e));
    }
    WritePackage(*machine.platform, project, 300);
    CountingPlatform counting(*machine.platform, counts[i]);
    InstallTiming(counting);
  }
  auto per = [&](int64_t CallCounts::*field) {
    return static_cast<double>(counts[1].*field - counts[0].*field) / count;
  };
  std::printf("platform calls per installed file (%d files, 100 to a folder, the journal's "
              "included): %.2f lookups, %.2f creates, %.2f writes, %.2f times set on the handle, "
              "%.2f by name, %.2f moves, %.2f folder calls\n",
              count, per(&CallCounts::lookups), per(&CallCounts::creates), per(&CallCounts::writes),
              per(&CallCounts::timesOnHandle), per(&CallCounts::timesByName), per(&CallCounts::moves),
              per(&CallCounts::folders));
}

void OneLargeFile() {
  constexpr int64_t kMib = 256;
  Machine machine("large", false);
  TCustomCompile project;
  auto e = std::make_unique<TCompileFileData>();
  e->SourcePath = "X:\\big.bin";
  e->DestFolder = "目标计算机\\Program Files\\";
  e->FileTime = 45000.25;
  project.FileList.push_back(std::move(e));
  WritePackage(*machine.platform, project, kMib << 20);
  const int64_t start = project.FileList[0]->DataStart;
  const int64_t end = project.FileList[0]->DataEnd;
  const fs::path package = *machine.platform->HostPath(kSetup);
  const fs::path bareOut = machine.folder / "bare.bin";

  double ours = 1e9, bare = 1e9;
  for (int round = 0; round < 3; ++round) {
    ours = std::min(ours, InstallTiming(*machine.platform).wall);
    bare = std::min(bare, BareInflateAndWrite(package, start, end, bareOut));
    fs::remove(bareOut);
  }
  std::printf("one %lld MiB file (%.1f MiB packed): Install %.0f MiB/s; bare inflate-and-write "
              "%.0f MiB/s; ratio %.2f\n",
              (long long)kMib, (end - start) / 1048576.0, kMib / ours, kMib / bare, bare / ours);
}

}  // namespace

// "install_bench small" prints the small-files figures only (for profiling, and for timing two
// builds against each other quickly).
int main(int argc, char** argv) {
  const bool smallOnly = argc > 1 && std::string(argv[1]) == "small";
  // Best of 3, alternating, each machine fresh; the machines of a round are removed only after
  // the bare loops have run (see SmallFiles).
  Timing t20{1e9, 1e9}, t40{1e9, 1e9};
  Timing b20{1e9, 1e9}, b40{1e9, 1e9};
  for (int round = 0; round < 3; ++round) {
    Machine small("small20k", true), large("small40k", true);
    const Timing r20 = SmallFiles(small, 20000);
    const Timing r40 = SmallFiles(large, 40000);
    t20 = {std::min(t20.wall, r20.wall), std::min(t20.cpu, r20.cpu)};
    t40 = {std::min(t40.wall, r40.wall), std::min(t40.cpu, r40.cpu)};
    Machine bare20("bare20k", true), bare40("bare40k", true);
    const Timing s20 = BareSmallFiles(bare20.folder, 20000);
    const Timing s40 = BareSmallFiles(bare40.folder, 40000);
    b20 = {std::min(b20.wall, s20.wall), std::min(b20.cpu, s20.cpu)};
    b40 = {std::min(b40.wall, s40.wall), std::min(b40.cpu, s40.cpu)};
  }
  std::printf("Install of 20,000 small files: %.2f s; of 40,000: %.2f s; ratio %.2f (2 is "
              "linear); best of 3\n",
              t20.wall, t40.wall, t40.wall / t20.wall);
  std::printf("  a bare host loop (create, write, set the time, rename) over as many files: "
              "%.2f s and %.2f s; bare/Install %.2f and %.2f (goal >= 0.5)\n",
              b20.wall, b40.wall, b20.wall / t20.wall, b40.wall / t40.wall);
  std::printf("  processor time (user and system), steadier on a shared machine: Install %.2f s and "
              "%.2f s (ratio %.2f), bare loop %.2f s and %.2f s; bare/Install %.2f and %.2f\n",
              t20.cpu, t40.cpu, t40.cpu / t20.cpu, b20.cpu, b40.cpu, b20.cpu / t20.cpu,
              b40.cpu / t40.cpu);
  CallsPerFile(2000);
  if (!smallOnly) OneLargeFile();
}
