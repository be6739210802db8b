#include "engine/FinishActions.h"

#include <string>
#include <vector>

#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"

namespace {

constexpr uint32_t kEwxReboot = 2;

void OpenWith(sys::Platform& platform, const std::string& path) {
  sys::ShellRequest request;
  request.verb = "Open";
  request.file = path;
  request.directory = sys::ExtractFilePath(path);
  request.showCommand = sys::kSwShowNormal;
  platform.ShellRun(request);
}

}  // namespace

void OpenFile(const std::string& path) { OpenWith(sys::CurrentPlatform(), path); }

namespace engine {

void OpenChosenFiles(const TCompile& compile) {
  std::vector<std::string> chosen;
  if (compile.Options.RunApp) chosen.push_back(compile.Options.AppFile);
  if (compile.Options.ShowReadme) chosen.push_back(compile.Options.ReadmeFile);
  if (chosen.empty() || sys::CurrentPlatform().HandBack(chosen)) return;
  for (const std::string& path : chosen) OpenFile(path);
}

void OpenHandedBackFiles(sys::Platform& platform) {
  for (const std::string& path : platform.TakeHandBack()) OpenWith(platform, path);
}

}  // namespace engine

void RestartSystem() {
  sys::Platform& platform = sys::CurrentPlatform();
  // Only the NT family has privileges; its version text is major.minor.
  if (sys::GetOSVersion().find('.') != std::string::npos) platform.EnableShutdownPrivilege();
  platform.RestartSystem(kEwxReboot);
}

namespace engine {

void OfferRestart(const TCompile& compile) {
  if (compile.Options.RebootText != "启用") return;
  if (sys::AskYesNo("“" + compile.ItemName + "”安装向导需要重启操作系统，" +
                    "方可完成安装。要自动重启吗？")) {
    RestartSystem();
  }
}

ScopedTempFiles::~ScopedTempFiles() { compile_.ClearTempFiles(); }

}  // namespace engine
