// The program body of uninst.exe: closes the DLL search to planted files, takes the exclusive
// hold on Ins.log beside itself (a second uninstaller is refused while it lasts), runs the
// uninstall with its progress window and lets go of the log right before removing it.
#include <memory>
#include <string>

#include "system/Error.h"
#include "system/Platform.h"
#include "system/win32/DllSearch.h"
#include "system/win32/ExclusiveHold.h"
#include "system/win32/Win32Platform.h"
#include "ui/win32/Win32Backend.h"
#include "uninstall/uUnInstall.h"
#include "uninstaller/UninstallLog.h"
#include "uninstaller/Uninstaller.h"
#include "uninstaller/window/WindowDialogs.h"

namespace {

constexpr const char* kAlreadyRunning = "卸载程序已在运行。请等它结束后再试。";

// For the refusal's caption; the running uninstaller has the log, readers still get in.
std::string ProductNameOf(sys::Platform& platform, const std::string& logPath) {
  try {
    return uninst::LoadUninstallLog(platform, logPath)->ItemName();
  } catch (const sys::Error&) {
    return {};
  }
}

}  // namespace

int main() {
  sys::win32::HardenDllSearch();
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  const std::string logPath = uninst::LogPathBeside(platform.ExePath());

  sys::win32::ExclusiveHold hold(logPath);
  if (hold.GetState() == sys::win32::ExclusiveHold::State::HeldElsewhere) {
    platform.ShowMessageBox(kAlreadyRunning,
                            uninst::DialogCaption(ProductNameOf(platform, logPath)),
                            sys::kMbOk | sys::kMbIconError);
    return 2;
  }

  std::unique_ptr<ui::Backend> backend = ui::MakeWin32Backend();
  ui::SetErrorReporter([&platform](const std::exception& error) {
    platform.ShowMessageBox(error.what(), uninst::DialogCaption(""), sys::kMbOk | sys::kMbIconError);
  });
  uninst::WindowDialogs dialogs(platform, *backend);
  const uninst::UninstallReport report =
      uninst::RunUninstall(platform, logPath, dialogs, [&hold] { hold.Release(); });
  return report.Completed() ? 0 : 1;
}
