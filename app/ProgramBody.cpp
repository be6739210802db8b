#include "app/ProgramBody.h"

#include "app/CommandLine.h"
#include "app/PageClasses.h"
#include "app/SetupSession.h"
#include "app/uInstall.h"
#include "system/Error.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"

std::unique_ptr<TInstall> CurrentInstall;

namespace {

// Relaunches elevated and waits; the copy's exit code becomes ours when it is known.
int RelaunchElevated(sys::Platform& platform, const std::string& parameters) {
  uint32_t exitCode = kExitSuccess;
  try {
    sys::RunElevated(platform.ExePath(), parameters, exitCode);
  } catch (const sys::Abort&) {
    // The person refused the elevation prompt: nothing runs, nothing is said.
    return kExitCancelled;
  }
  return static_cast<int>(exitCode);
}

}  // namespace

int RunSetupProgram(sys::Platform& platform, ui::Backend& backend) {
  ScopedPageClasses pageClasses;
  const bool elevatesItself = sys::VersionNumber(sys::GetOSVersion()) >= 6.0;
  const std::string arguments = platform.Arguments();
  const SetupSwitches switches = ParseSetupSwitches(arguments);
  if (!switches.given) {
    if (elevatesItself && platform.ParamCount() == 0) return RelaunchElevated(platform, "-1");
  } else {
    if (switches.help) return ShowUsage(platform);
    if (!switches.error.empty()) return RefuseSwitches(platform, switches);
    // A deployment tool running as SYSTEM or an administrator is elevated already.
    if (elevatesItself && !switches.elevatedCopy && !platform.IsElevated()) {
      return RelaunchElevated(platform, ElevatedCopyArguments(arguments));
    }
  }
  return RunSetupSession(platform, backend, switches);
}
