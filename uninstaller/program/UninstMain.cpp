// The program body of uninst.exe. Started by the user (from its registration or shortcut) it
// closes the DLL search to planted files, takes the exclusive hold on Ins.log beside itself (a
// second uninstaller is refused while it lasts) and hands the hold and the work to a copy of
// itself in a new temporary folder, then ends. The copy waits for it, runs the uninstall with
// its progress window, and right before removing the log lets go of the hold and deletes the
// original program; at its end it removes its own file and folder. When no copy can be started
// the program uninstalls in place and its own file stays.
//
// With /S (SilentUninstall.h) no window or box shows and the exit code is the uninstall's: the
// program uninstalls in place rather than handing off (the copy's code would never reach the
// deployment tool, which waits for this process), then removes its own file and folder as the
// copy does, now where the system allows it, else at the next restart.
#include <memory>
#include <optional>
#include <string>

#include "system/Error.h"
#include "system/Platform.h"
#include "system/RunLog.h"
#include "system/SingleRun.h"
#include "system/UserFolders.h"
#include "system/win32/DllSearch.h"
#include "system/win32/ExclusiveHold.h"
#include "system/win32/TemporaryCopy.h"
#include "system/win32/Win32Platform.h"
#include "ui/win32/Win32Backend.h"
#include "undo/uUnInstall.h"
#include "uninstaller/Handoff.h"
#include "uninstaller/SilentUninstall.h"
#include "uninstaller/UninstallLog.h"
#include "uninstaller/Uninstaller.h"
#include "uninstaller/window/WindowDialogs.h"

namespace {

using sys::win32::ExclusiveHold;

constexpr const char* kAlreadyRunning = "卸载程序已在运行。请等它结束后再试。";
constexpr const char* kForeignOriginal = "卸载程序“%s”不是启动本程序的程序，卸载已停止。";
// How long the copy waits for the original to end; it ends right after starting the copy.
constexpr uint32_t kOriginalWaitMs = 30000;

// For the refusal's caption; the running uninstaller has the log, readers still get in.
std::string ProductNameOf(sys::Platform& platform, const std::string& logPath,
                          const uninst::LogSource& source = {}) {
  try {
    return uninst::LoadUninstallLog(platform, logPath, source)->ItemName();
  } catch (const sys::Error&) {
    return {};
  }
}

bool HandOff(const std::string& exePath, ExclusiveHold& hold) {
  const uint64_t inheritedHold = hold.ShareWithChildren();
  const bool started = inheritedHold != 0 &&
      sys::win32::StartTemporaryCopy(exePath, uninst::CopyFolderName, uninst::kCopyFolderAttempts,
                                     [&](uint64_t process) {
                                       return uninst::HandoffArguments(
                                           uninst::Handoff{exePath, process, inheritedHold});
                                     });
  if (!started) hold.KeepFromChildren();
  return started;
}

// A refusal: in a box for a person, in the log for a deployment.
int Refuse(sys::Platform& platform, const uninst::UninstallSwitches& switches, sys::RunLog* log,
           const std::string& productName, const std::string& text, int exitCode) {
  if (log) log->Line("[error] " + text);
  if (!switches.silent) {
    platform.ShowMessageBox(text, uninst::DialogCaption(productName), sys::kMbOk | sys::kMbIconError);
  }
  return exitCode;
}

int Uninstall(sys::Platform& platform, const std::string& logPath, ExclusiveHold& hold,
              const std::optional<uninst::Handoff>& handoff,
              const uninst::UninstallSwitches& switches, sys::RunLog& log) {
  // The log is read through the hold, never again by its name. Without a hold (no log, or it
  // could not be opened) the run reads the name and says what is wrong.
  uninst::LogSource heldLog;
  if (hold.GetState() == ExclusiveHold::State::Held) heldLog = [&hold] { return hold.OpenReader(); };
  // Not while a setup of the product runs: it would install into what is being removed.
  const std::string productName = ProductNameOf(platform, logPath, heldLog);
  std::unique_ptr<sys::RunClaim> claim = platform.ClaimRun(sys::ProductRunName(productName));
  if (!claim) {
    return Refuse(platform, switches, &log, productName, sys::AnotherRunText(productName),
                  sys::kExitAnotherRun);
  }
  const auto beforeLogRemoval = [&] {
    hold.Release();
    // The original goes before the log's folder is tried, which it would keep.
    if (handoff &&
        sys::RemoveFileOrFolder(platform, handoff->original, false) != sys::Removal::Removed &&
        sys::MayRemoveAtRestart(platform, handoff->original)) {
      platform.RemoveAtRestart(handoff->original);
    }
  };
  // A log named by a hand-off's command line must belong to a registered product.
  const auto run = [&](uninst::UninstallDialogs& dialogs) {
    const int code = uninst::UninstallExitCode(uninst::RunUninstall(
        platform, logPath, dialogs, beforeLogRemoval, handoff.has_value(), heldLog));
    log.Line("[exit] " + std::to_string(code));
    return code;
  };
  if (switches.silent) {
    uninst::SilentDialogs dialogs(log);
    return run(dialogs);
  }
  std::unique_ptr<ui::Backend> backend = ui::MakeWin32Backend();
  backend->OnTopWindowChanged = [&platform](uintptr_t window) { platform.SetOwnerWindow(window); };
  ui::SetErrorReporter([&platform](const std::exception& error) {
    platform.ShowMessageBox(error.what(), uninst::DialogCaption(""), sys::kMbOk | sys::kMbIconError);
  });
  uninst::WindowDialogs dialogs(platform, *backend);
  return run(dialogs);
}

}  // namespace

int main() {
  sys::win32::HardenDllSearch();
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  const std::string exePath = platform.ExePath();
  const uninst::UninstallSwitches switches =
      uninst::ParseUninstallSwitches(sys::win32::CommandLineArguments());
  const std::optional<uninst::Handoff> handoff = uninst::ParseHandoff(switches.rest);
  const std::string logPath = uninst::LogPathFor(exePath, handoff);
  if (!switches.error.empty()) return Refuse(platform, switches, nullptr, "", switches.error, 87);
  std::unique_ptr<sys::RunLog> log;
  try {
    log = std::make_unique<sys::RunLog>(platform, switches.logFile);
  } catch (const sys::Error&) {
    return Refuse(platform, switches, nullptr, "", "无法创建日志文件：" + *switches.logFile, 87);
  }

  if (handoff) {
    int result;
    if (sys::win32::IsProcessImage(handoff->originalProcess, handoff->original)) {
      sys::win32::WaitForProcessHandle(handoff->originalProcess, kOriginalWaitMs);
      ExclusiveHold hold = ExclusiveHold::Adopt(handoff->logHold, logPath);
      result = Uninstall(platform, logPath, hold, handoff, switches, *log);
    } else {
      result = Refuse(platform, switches, log.get(), "",
                      sys::Format(kForeignOriginal, handoff->original), 1603);
    }
    if (uninst::IsInCopyFolder(exePath, platform.TempDirectory())) {
      sys::win32::RemoveRunningProgram(exePath);
    }
    return result;
  }

  ExclusiveHold hold(logPath);
  if (hold.GetState() == ExclusiveHold::State::HeldElsewhere) {
    return Refuse(platform, switches, log.get(), ProductNameOf(platform, logPath),
                  kAlreadyRunning, sys::kExitAnotherRun);
  }
  // Without a log there is nothing to hand over: the run in place says what is wrong.
  if (!switches.silent && hold.GetState() == ExclusiveHold::State::Held && HandOff(exePath, hold)) {
    return 0;
  }
  const int result = Uninstall(platform, logPath, hold, std::nullopt, switches, *log);
  if (switches.silent && (result == 0 || result == 3010)) sys::win32::RemoveRunningProgram(exePath);
  return result;
}
