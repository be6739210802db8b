// Figures of the uninstall on the sandbox: 10,000 and 20,000 files in 100 folders, each with its
// registry value in one of 100 keys, recorded as an install run records them and then removed (the ratio shows
// whether the uninstall stays linear in the items); and the same 20,000 files all in use, with
// the restart offer accepted, which marks every file and looks at every folder.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "bench/BenchSupport.h"
#include "system/sandbox/SandboxPlatform.h"
#include "undo/uUnInstall.h"
#include "uninstaller/Uninstaller.h"

namespace {

namespace fs = std::filesystem;

class Agreeing : public uninst::UninstallDialogs {
 public:
  bool ConfirmUninstall(const std::string&) override { return true; }
  bool ConfirmRemoveAtRestart(const std::string&, const std::vector<std::string>&) override {
    return true;
  }
  void Progress(const std::string&, size_t, size_t) override {}
  void ShowOutcome(const uninst::UninstallReport&) override {}
  void ShowError(const std::string&, const std::string&) override {}
};

// Installs files files and values, uninstalls them; the uninstall's milliseconds.
double Run(int files, bool inUse) {
  const fs::path root = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                        ("uninstall-bench-" + std::to_string(::getpid()));
  double elapsed = 0;
  {
    sys::sandbox::SandboxPlatform platform(root);
    TUnInstall log(platform);
    log.SetItemName("Bench");
    log.SetSerial("{BENCH}");
    for (int i = 0; i < files; ++i) {
      const std::string folder = "C:\\Bench\\folder" + std::to_string(i % 100);
      if (i < 100) log.ForceDir(folder);
      const std::string path = folder + "\\file" + std::to_string(i) + ".dat";
      platform.CreateForWrite(path)->Write("x", 1);
      log.AddFile(path, 1);
      const std::string key = "Software\\Bench\\key" + std::to_string(i % 100);
      platform.OpenKey(sys::kHkeyCurrentUser, key, true)->WriteString("v" + std::to_string(i), "x");
      log.AddRegValue(std::to_string(sys::kHkeyCurrentUser), key, "v" + std::to_string(i));
    }
    log.SaveToFile("C:\\Bench\\Ins.log");
    if (inUse) platform.InjectFault(sys::sandbox::FaultRule{sys::sandbox::FaultOp::Remove, ".dat", 32, 0});
    Agreeing dialogs;
    double start = bench::Now();
    uninst::UninstallReport report = uninst::RunUninstall(platform, "C:\\Bench\\Ins.log", dialogs);
    elapsed = (bench::Now() - start) * 1000.0;
    if (!report.Completed()) std::printf("uninstall failed: %s\n", report.error.c_str());
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  return elapsed;
}

}  // namespace

int main() {
  double small = Run(10000, false);
  double large = Run(20000, false);
  std::printf("uninstall 10,000 files + values:          %8.1f ms\n", small);
  std::printf("uninstall 20,000 files + values:          %8.1f ms (%.2f x the 10,000)\n", large,
              large / small);
  std::printf("uninstall 20,000 files in use, marked:    %8.1f ms\n", Run(20000, true));
  return 0;
}
