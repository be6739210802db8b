// The program body of uninst.exe. Started by the user (from its registration or shortcut) it
// closes the DLL search to planted files, takes the exclusive hold on Ins.log beside itself (a
// second uninstaller is refused while it lasts) and hands the hold and the work to a copy of
// itself in a new temporary folder, then ends. The copy waits for it, runs the uninstall with
// its progress window, and right before removing the log lets go of the hold and deletes the
// original program; at its end it removes its own file and folder. When no copy can be started
// the program uninstalls in place and its own file stays.
#include <memory>
#include <optional>
#include <string>

#include "system/Error.h"
#include "system/Platform.h"
#include "system/UserFolders.h"
#include "system/win32/DllSearch.h"
#include "system/win32/ExclusiveHold.h"
#include "system/win32/TemporaryCopy.h"
#include "system/win32/Win32Platform.h"
#include "ui/win32/Win32Backend.h"
#include "uninstall/uUnInstall.h"
#include "uninstaller/Handoff.h"
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
std::string ProductNameOf(sys::Platform& platform, const std::string& logPath) {
  try {
    return uninst::LoadUninstallLog(platform, logPath)->ItemName();
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

int Uninstall(sys::Platform& platform, const std::string& logPath, ExclusiveHold& hold,
              const std::optional<uninst::Handoff>& handoff) {
  std::unique_ptr<ui::Backend> backend = ui::MakeWin32Backend();
  backend->OnTopWindowChanged = [&platform](uintptr_t window) { platform.SetOwnerWindow(window); };
  ui::SetErrorReporter([&platform](const std::exception& error) {
    platform.ShowMessageBox(error.what(), uninst::DialogCaption(""), sys::kMbOk | sys::kMbIconError);
  });
  uninst::WindowDialogs dialogs(platform, *backend);
  const auto beforeLogRemoval = [&] {
    hold.Release();
    // The original goes before the log's folder is tried, which it would keep.
    if (handoff && sys::RemoveFileOrFolder(platform, handoff->original, false) != sys::Removal::Removed &&
        sys::MayRemoveAtRestart(platform, handoff->original)) {
      platform.RemoveAtRestart(handoff->original);
    }
  };
  // The log is read through the hold, never again by its name. Without a hold (no log, or it
  // could not be opened) the run reads the name and says what is wrong.
  uninst::LogSource heldLog;
  if (hold.GetState() == ExclusiveHold::State::Held) heldLog = [&hold] { return hold.OpenReader(); };
  // A log named by a hand-off's command line must belong to a registered product.
  const uninst::UninstallReport report = uninst::RunUninstall(
      platform, logPath, dialogs, beforeLogRemoval, handoff.has_value(), heldLog);
  return report.Completed() ? 0 : 1;
}

}  // namespace

int main() {
  sys::win32::HardenDllSearch();
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  const std::string exePath = platform.ExePath();
  const std::optional<uninst::Handoff> handoff =
      uninst::ParseHandoff(sys::win32::CommandLineArguments());
  const std::string logPath = uninst::LogPathFor(exePath, handoff);

  if (handoff) {
    int result = 2;
    if (sys::win32::IsProcessImage(handoff->originalProcess, handoff->original)) {
      sys::win32::WaitForProcessHandle(handoff->originalProcess, kOriginalWaitMs);
      ExclusiveHold hold = ExclusiveHold::Adopt(handoff->logHold, logPath);
      result = Uninstall(platform, logPath, hold, handoff);
    } else {
      platform.ShowMessageBox(sys::Format(kForeignOriginal, handoff->original),
                              uninst::DialogCaption(""), sys::kMbOk | sys::kMbIconError);
    }
    if (uninst::IsInCopyFolder(exePath, platform.TempDirectory())) {
      sys::win32::RemoveRunningProgram(exePath);
    }
    return result;
  }

  ExclusiveHold hold(logPath);
  if (hold.GetState() == ExclusiveHold::State::HeldElsewhere) {
    platform.ShowMessageBox(kAlreadyRunning,
                            uninst::DialogCaption(ProductNameOf(platform, logPath)),
                            sys::kMbOk | sys::kMbIconError);
    return 2;
  }
  // Without a log there is nothing to hand over: the run in place says what is wrong.
  if (hold.GetState() == ExclusiveHold::State::Held && HandOff(exePath, hold)) return 0;
  return Uninstall(platform, logPath, hold, std::nullopt);
}
