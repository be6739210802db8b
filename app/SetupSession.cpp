#include "app/SetupSession.h"

#include <memory>
#include <optional>

#include "app/AnswersFile.h"
#include "app/CommandLine.h"
#include "app/ErrorReporter.h"
#include "app/ProgramBody.h"
#include "app/SessionPlatform.h"
#include "app/silent/SilentRun.h"
#include "app/uInstall.h"
#include "engine/DestinationRules.h"
#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/RunLog.h"
#include "system/SingleRun.h"
#include "system/Stream.h"
#include "system/SystemHelpers.h"
#include "wizard/SetupErrors.h"

namespace app {

namespace {

constexpr const char* kUsageCaption = "安装程序";

std::unique_ptr<sys::RunLog> OpenLog(sys::Platform& platform, const SetupSwitches& switches) {
  try {
    return std::make_unique<sys::RunLog>(platform, switches.logFile);
  } catch (const std::exception&) {
    return nullptr;
  }
}

AnswersFile ReadAnswers(sys::Platform& platform, const std::string& file) {
  std::string text;
  try {
    std::unique_ptr<sys::Stream> in = platform.OpenForRead(file);
    if (in->Size() > static_cast<int64_t>(kMaxAnswersFileBytes)) {
      throw AnswersError("the file is too large");
    }
    text.resize(static_cast<size_t>(in->Size()));
    if (!text.empty() && in->Read(text.data(), text.size()) != text.size()) {
      throw AnswersError("the file cannot be read");
    }
  } catch (const sys::Error&) {
    throw AnswersError("the file cannot be read");
  }
  return ParseAnswersFile(text);
}

// /D=: the folder every page and the install take, also a folder page the package locks.
void ApplyInstallDir(TCompile& compile, const std::string& folder) {
  for (const auto& item : compile.InfoList) {
    if (item->Group == package::kGroupInstallDir &&
        sys::SameText(item->Caption, package::InstallDirCaptions[1])) {
      item->Value = folder;
    }
  }
  compile.Options.InstallDir = TrimBackslash(folder);
}

// The exit code of a run that no error ended.
int Outcome(const TCompile& compile, const SessionPlatform& session) {
  if (!compile.InstallCompleted) return kExitCancelled;
  if (compile.Options.RebootText == package::kSwitchOn && !session.Restarted())
    return kExitRestartNeeded;
  return kExitSuccess;
}

const char* OutcomeName(int code) {
  switch (code) {
    case kExitSuccess:
      return "installed";
    case kExitRestartNeeded:
      return "installed; a restart is needed";
    case kExitCancelled:
      return "cancelled";
    case sys::kExitAnotherRun:
      return "another setup of this product is running";
    case kExitBadSwitches:
      return "bad switches or answers file";
    default:
      return "failed";
  }
}

}  // namespace

int RefuseSwitches(sys::Platform& platform, const SetupSwitches& switches) {
  if (std::unique_ptr<sys::RunLog> log = OpenLog(platform, switches)) {
    log->Line("[error] " + switches.error);
    log->Line("[exit] 87 (bad switches or answers file)");
  }
  if (!switches.silent) {
    platform.ShowMessageBox(switches.error + "\r\n\r\n" + SetupUsageText(), kUsageCaption,
                            sys::kMbOk | sys::kMbIconError);
  }
  return kExitBadSwitches;
}

int ShowUsage(sys::Platform& platform) {
  platform.ShowMessageBox(SetupUsageText(), kUsageCaption, sys::kMbOk | sys::kMbIconInformation);
  return kExitSuccess;
}

int RunSetupSession(sys::Platform& platform, ui::Backend& backend, const SetupSwitches& switches) {
  std::unique_ptr<sys::RunLog> log = OpenLog(platform, switches);
  if (!log) {
    SetupSwitches refused = switches;
    refused.error = "无法创建日志文件：" + switches.logFile.value_or("");
    refused.logFile.reset();
    return RefuseSwitches(platform, refused);
  }
  log->Line("[start] " + platform.ExePath() + " " + platform.Arguments());

  AnswersFile answers;
  if (switches.answersFile) {
    try {
      answers = ReadAnswers(platform, *switches.answersFile);
      CheckAnswers(answers);
    } catch (const AnswersError& error) {
      log->Line("[error] answers file " + *switches.answersFile + ": " + error.what());
      log->Line("[exit] 87 (bad switches or answers file)");
      return kExitBadSwitches;
    }
  }

  SessionPlatform session(platform, *log, switches.silent, switches.noRestart, answers);
  sys::ScopedCurrentPlatform current(session);
  ScopedErrorReporter reporter;
  std::unique_ptr<sys::RunClaim> claim;
  int status = kExitFailed;
  CurrentInstall = std::make_unique<TInstall>(session);
  TCompile& compile = CurrentInstall->Compile();
  try {
    CurrentInstall->Load();
    log->Line("[product] " + compile.ItemName);
    claim = session.ClaimRun(sys::ProductRunName(compile.ItemName));
    if (!claim) {
      log->Line("[error] " + sys::AnotherRunText(compile.ItemName));
      if (!switches.silent) sys::ShowInfo(sys::AnotherRunText(compile.ItemName));
      status = sys::kExitAnotherRun;
    } else {
      if (switches.installDir) ApplyInstallDir(compile, *switches.installDir);
      compile.OnReportLogged = [&log](const std::string& fileName, const std::string& hint,
                                      int64_t position, int64_t) {
        log->Line(position < 0 ? "[step] " + hint : "[file] " + fileName);
      };
      if (switches.silent) {
        PrepareSilentRun(compile);
        PresentSilently(*CurrentInstall, answers, session, *log);
      } else {
        CurrentInstall->Present(backend);
      }
      status = Outcome(compile, session);
    }
  } catch (const AnswersError& error) {
    // An answer the silent person could not carry out (a control hidden or disabled there).
    CurrentInstall.reset();
    log->Line(std::string("[error] answers file: ") + error.what());
    log->Line("[exit] 87 (bad switches or answers file)");
    return kExitBadSwitches;
  } catch (const std::exception& error) {
    // Freed first, so the temporary files are gone by the time the person reads the box.
    CurrentInstall.reset();
    log->Line("[error] " + wizard::SetupFailureText(error));
    wizard::ReportSetupError(error);
    status = dynamic_cast<const sys::Abort*>(&error) ? kExitCancelled : kExitFailed;
  }
  CurrentInstall.reset();
  if (reporter.Reported() > 0) status = kExitFailed;
  log->Line("[exit] " + std::to_string(status) + " (" + OutcomeName(status) + ")");
  return status;
}

}  // namespace app
