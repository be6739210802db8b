// Figures for the uninstall recorder: recording 100,000 files (and as many duplicates, which the
// duplicate test must turn away), then saving and loading that log on a sandbox machine.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "bench/BenchSupport.h"
#include "system/sandbox/SandboxPlatform.h"
#include "undo/uUnInstall.h"

namespace {

double NowMilliseconds() { return bench::Now() * 1000.0; }

double MillisecondsSince(double start) { return NowMilliseconds() - start; }

}  // namespace

int main() {
  constexpr int kItems = 100000;
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("record-bench-" + std::to_string(::getpid()));
  {
    sys::sandbox::SandboxPlatform platform(root);
    platform.ForceDirectories("C:\\App");
    TUnInstall log(platform);
    log.SetItemName("Bench");
    log.SetSerial("{BENCH}");

    double start = NowMilliseconds();
    for (int i = 0; i < kItems; ++i) {
      log.AddFile("C:\\Program Files\\Bench\\data\\folder" + std::to_string(i % 100) + "\\file" +
                      std::to_string(i) + ".dat",
                  1);
    }
    double record = MillisecondsSince(start);

    start = NowMilliseconds();
    for (int i = 0; i < kItems; ++i) {
      log.AddFile("C:\\PROGRAM FILES\\BENCH\\DATA\\FOLDER" + std::to_string(i % 100) + "\\FILE" +
                      std::to_string(i) + ".DAT",
                  0);
    }
    double duplicates = MillisecondsSince(start);

    start = NowMilliseconds();
    log.SaveToFile("C:\\App\\Ins.log");
    double save = MillisecondsSince(start);
    auto size = std::filesystem::file_size(*platform.HostPath("C:\\App\\Ins.log"));

    TUnInstall loaded(platform);
    start = NowMilliseconds();
    loaded.LoadFromFile("C:\\App\\Ins.log");
    double load = MillisecondsSince(start);

    std::printf("record %d files:            %8.1f ms (%zu items)\n", kItems, record, log.Items().size());
    std::printf("record %d duplicates:       %8.1f ms (%zu items)\n", kItems, duplicates,
                log.Items().size());
    std::printf("save Ins.log:                   %8.1f ms (%llu bytes)\n", save,
                static_cast<unsigned long long>(size));
    std::printf("load Ins.log:                   %8.1f ms (%zu items)\n", load, loaded.Items().size());
  }
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
