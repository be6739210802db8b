#include "engine/FinishActions.h"

#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"

namespace {

constexpr uint32_t kEwxReboot = 2;

}  // namespace

void OpenFile(const std::string& path) {
  sys::ShellRequest request;
  request.verb = "Open";
  request.file = path;
  request.directory = sys::ExtractFilePath(path);
  request.showCommand = sys::kSwShowNormal;
  sys::CurrentPlatform().ShellRun(request);
}

void OpenChosenFiles(const TCompile& compile) {
  if (compile.Options.RunApp) OpenFile(compile.Options.AppFile);
  if (compile.Options.ShowReadme) OpenFile(compile.Options.ReadmeFile);
}

void RestartSystem() {
  sys::Platform& platform = sys::CurrentPlatform();
  // Only the NT family has privileges; its version text is major.minor.
  if (sys::GetOSVersion().find('.') != std::string::npos) platform.EnableShutdownPrivilege();
  platform.RestartSystem(kEwxReboot);
}

void OfferRestart(const TCompile& compile) {
  if (compile.Options.RebootText != "启用") return;
  if (sys::AskYesNo("“" + compile.ItemName + "”安装向导需要重启操作系统，" +
                    "方可完成安装。要自动重启吗？")) {
    RestartSystem();
  }
}

ScopedTempFiles::~ScopedTempFiles() { compile_.ClearTempFiles(); }
