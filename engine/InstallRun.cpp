#include "engine/InstallRun.h"

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
#include "system/ReadAheadStream.h"
#include "system/Stream.h"
#include "system/SystemHelpers.h"
#include "undo/JournallingPlatform.h"
#include "undo/Rollback.h"
#include "undo/uUnInstall.h"

namespace engine {

namespace {

constexpr const char* kLogName = "Ins.log";

// Ins.log lies beside the uninstaller program, which goes into the install folder under the
// file name of the last uninstaller entry; without one the bare name, in the working folder.
// A patch only reads that log and never writes the uninstaller, so its name is not vetted there.
std::string LogFilePath(const TCompile& compile) {
  std::string uninstaller;
  for (const auto& entry : compile.FileList) {
    if (entry->EntryKind != package::kEntryUninstaller) continue;
    const std::string name = compile.Patched ? sys::ExtractFileName(entry->SourcePath)
                                             : package::SafeEntryFileName(entry->SourcePath);
    uninstaller = compile.Options.InstallDir + "\\" + name;
  }
  return uninstaller.empty() ? kLogName : sys::ExtractFilePath(uninstaller) + kLogName;
}

// The project, the free helpers and the recorder all reach the machine through the run's
// journalling platform while the steps run, and through the real one again afterwards.
class RunPlatformScope {
 public:
  RunPlatformScope(TCompile& compile, sys::Platform& run)
      : compile_(compile), real_(compile.platform()), current_(run) {
    compile_.UsePlatform(run);
  }
  ~RunPlatformScope() { compile_.UsePlatform(real_); }
  RunPlatformScope(const RunPlatformScope&) = delete;
  RunPlatformScope& operator=(const RunPlatformScope&) = delete;

 private:
  TCompile& compile_;
  sys::Platform& real_;
  sys::ScopedCurrentPlatform current_;
};

// The steps of the run, on its journalling platform.
void RunSteps(TCompile& compile, sys::Platform& platform, sys::Stream& package,
              const std::string& logFile) {
  TUnInstall log(platform);
  if (platform.FileExists(logFile)) log.LoadFromFile(logFile);
  platform.ProcessMessages();
  log.SetItemName(compile.ItemName);
  log.SetSerial(compile.Serial);

  InstallContext ctx{compile, platform, package, log, sys::GetOSVersion()};
  // Refused before anything on the machine changes: a cut-short or spliced package.
  VerifyPackage(compile, package, ctx.osVersion);

  compile.ReportStatus("正在创建安装文件夹，请稍候...");
  RunFolderStep(ctx);
  RunFileStep(ctx);
  RunRegistrationStep(ctx);
  // A patch only replaces files; the product's uninstall data stays as the full install left it.
  if (compile.Patched) {
    compile.InstallCompleted = true;
    return;
  }

  InstallComponents(compile);
  RunRegistryStep(ctx);
  RunShortcutStep(ctx);
  const std::string uninstaller = InstallUninstaller(compile, package, log);
  log.WriteUninstallEntry(uninstaller, compile.ItemName, compile.Version, compile.Url,
                          compile.Author, compile.Serial, compile.Options.InstallDir);
  log.SaveToFile(logFile);
  compile.InstallCompleted = true;
}

}  // namespace

void RunInstall(TCompile& compile, const std::string& exeFile) {
  sys::Platform& real = compile.platform();
  // Entries lie one after the other: small ones are read a block at a time, not one by one.
  auto package = std::make_unique<sys::ReadAheadStream>(compile.OpenPackageFile(exeFile));
  const std::string logFile = LogFilePath(compile);
  // A run killed here before left its journal: the machine goes back first, the earlier log
  // with it, so that this run starts from what the last finished run left.
  undo::FinishInterruptedRun(real, logFile);

  undo::JournallingPlatform run(real, logFile);
  try {
    {
      RunPlatformScope scope(compile, run);
      RunSteps(compile, run, *package, logFile);
    }
    // Until the journal says the run succeeded, a killed process would have it undone; so a
    // journal that cannot say so fails the run too.
    run.Commit();
  } catch (const sys::Error& error) {
    throw undo::RollbackError(error, run.Rollback());
  } catch (...) {
    run.Rollback();
    throw;
  }
  run.DeleteKeptCopies();
}

}  // namespace engine
