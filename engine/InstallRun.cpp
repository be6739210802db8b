// TCompile::Install: the one run that changes the machine, its steps in their fixed order.
#include <memory>
#include <string>

#include "engine/ComponentStep.h"
#include "engine/InstallContext.h"
#include "engine/InstallSteps.h"
#include "engine/PackageCheck.h"
#include "engine/UninstallerStep.h"
#include "package/EntryNames.h"
#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/Stream.h"
#include "system/SystemHelpers.h"
#include "undo/JournallingPlatform.h"
#include "undo/Rollback.h"
#include "undo/uUnInstall.h"

namespace {

constexpr const char* kLogName = "Ins.log";

// Ins.log lies beside the uninstaller program, which goes into the install folder under the
// file name of the last uninstaller entry; without one the bare name, in the working folder.
// A patch only reads that log and never writes the uninstaller, so its name is not vetted there.
std::string LogFilePath(const TCompile& compile) {
  std::string uninstaller;
  for (const auto& entry : compile.FileList) {
    if (entry->EntryKind != kEntryUninstaller) continue;
    const std::string name = compile.Patched ? sys::ExtractFileName(entry->SourcePath)
                                             : SafeEntryFileName(entry->SourcePath);
    uninstaller = compile.Options.InstallDir + "\\" + name;
  }
  return uninstaller.empty() ? kLogName : sys::ExtractFilePath(uninstaller) + kLogName;
}

}  // namespace

// The project, the free helpers and the recorder all reach the machine through the run's
// journalling platform while the steps run, and through the real one again afterwards.
class TCompile::RunPlatformScope {
 public:
  RunPlatformScope(TCompile& compile, sys::Platform& run)
      : compile_(compile), real_(compile.platform_), current_(run) {
    compile_.platform_ = &run;
  }
  ~RunPlatformScope() { compile_.platform_ = real_; }
  RunPlatformScope(const RunPlatformScope&) = delete;
  RunPlatformScope& operator=(const RunPlatformScope&) = delete;

 private:
  TCompile& compile_;
  sys::Platform* real_;
  sys::ScopedCurrentPlatform current_;
};

void TCompile::Install(const std::string& ExeFile) {
  sys::Platform& real = this->platform();
  std::unique_ptr<sys::Stream> package = OpenPackageFile(ExeFile);
  const std::string logFile = LogFilePath(*this);
  // A run killed here before left its journal: the machine goes back first, the earlier log
  // with it, so that this run starts from what the last finished run left.
  FinishInterruptedRun(real, logFile);

  JournallingPlatform run(real, logFile);
  try {
    {
      RunPlatformScope scope(*this, run);
      RunSteps(run, *package, logFile);
    }
    // Until the journal says the run succeeded, a killed process would have it undone; so a
    // journal that cannot say so fails the run too.
    run.Commit();
  } catch (const sys::Error& error) {
    throw RollbackError(error, run.Rollback());
  } catch (...) {
    run.Rollback();
    throw;
  }
  run.DeleteKeptCopies();
}

void TCompile::RunSteps(sys::Platform& platform, sys::Stream& package, const std::string& logFile) {
  TUnInstall log(platform);
  if (platform.FileExists(logFile)) log.LoadFromFile(logFile);
  platform.ProcessMessages();
  log.SetItemName(ItemName);
  log.SetSerial(Serial);

  InstallContext ctx{*this, platform, package, log, sys::GetOSVersion()};
  // Refused before anything on the machine changes: a cut-short or spliced package.
  VerifyPackage(*this, package, ctx.osVersion);

  ReportStatus("正在创建安装文件夹，请稍候...");
  RunFolderStep(ctx);
  RunFileStep(ctx);
  RunRegistrationStep(ctx);
  // A patch only replaces files; the product's uninstall data stays as the full install left it.
  if (Patched) {
    InstallCompleted = true;
    return;
  }

  InstallComponents(*this);
  RunRegistryStep(ctx);
  RunShortcutStep(ctx);
  const std::string uninstaller = InstallUninstaller(*this, package, log);
  log.WriteUninstallEntry(uninstaller, ItemName, Version, Url, Author, Serial, Options.InstallDir);
  log.SaveToFile(logFile);
  InstallCompleted = true;
}
