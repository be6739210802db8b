#include "engine/RegistrationStep.h"

#include "engine/InstallContext.h"
#include "engine/InstallSteps.h"
#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"

void RegisterComponent(sys::Platform& platform, const std::string& path, bool install) {
  const std::string command = install ? "regsvr32.exe /s \"" : "regsvr32.exe /s/u \"";
  platform.RunCommandLine(command + path + "\"", sys::kSwShowNormal);
}

void RegisterService(sys::Platform& platform, const std::string& path, bool install) {
  platform.RunCommandLine(sys::QuotedPath(path) + (install ? " -Install" : " -unInstall"),
                          sys::kSwShowNormal);
}

void SetAutoRun(sys::Platform& platform, const std::string& name, const std::string& path,
                bool install) {
  auto key = platform.OpenKey(sys::kHkeyLocalMachine, engine::kRunKey, true);
  if (!key) return;
  if (install) {
    key->WriteString(name, sys::QuotedPath(path));
  } else {
    key->DeleteValue(name);
  }
}

namespace engine {

void RunRegistrationStep(InstallContext& ctx) {
  TCompile& compile = ctx.compile;
  // The entry's TargetOs is not looked at: an entry the file step skipped is registered under
  // the path stored in the package.
  for (const auto& entry : compile.FileList) {
    if (entry->EntryKind != package::kEntryFile) continue;
    const std::string& path = entry->SourcePath;
    if (entry->IsComponent) {
      compile.ReportStatus("正在注册组件“" + path + "”，请稍候");
      RegisterComponent(ctx.platform, path, true);
    }
    if (entry->IsService) {
      compile.ReportStatus("正在注册服务“" + path + "”，请稍候");
      RegisterService(ctx.platform, path, true);
    }
    if (entry->RunAtStartup) {
      compile.ReportStatus("正在安装自动运行程序“" + path + "”，请稍候");
      SetAutoRun(ctx.platform, sys::ExtractFileName(path), path, true);
    }
    if (entry->RunAfterInstall) {
      compile.ReportStatus("正在自动运行程序“" + path + "”，请稍候");
      sys::ShellRequest request;
      request.verb = "Open";
      request.file = path;
      request.directory = sys::ExtractFilePath(path);
      request.showCommand = sys::kSwShowNormal;
      ctx.platform.ShellRun(request);
    }
  }
}

}  // namespace engine
