#include "app/ProgramBody.h"

#include "app/CommandLine.h"
#include "app/PageClasses.h"
#include "app/SetupSession.h"
#include "app/uInstall.h"
#include "engine/FinishActions.h"
#include "system/Error.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"

std::unique_ptr<TInstall> CurrentInstall;

namespace app {

namespace {

// Relaunches elevated and waits; the copy's exit code becomes ours when it is known. What the
// person chose to open at the end, the copy hands back, to be opened here as the person.
int RelaunchElevated(sys::Platform& platform, const std::string& switchesGiven) {
  uint32_t exitCode = kExitSuccess;
  const std::string handBack = platform.CreateHandBack();
  try {
    sys::RunElevated(platform.ExePath(), ElevatedCopyArguments(handBack, switchesGiven), exitCode);
  } catch (const sys::Abort&) {
    // The person refused the elevation prompt: nothing runs, nothing is said.
    return kExitCancelled;
  }
  engine::OpenHandedBackFiles(platform);
  return static_cast<int>(exitCode);
}

}  // namespace

int RunSetupProgram(sys::Platform& platform, ui::Backend& backend) {
  ScopedPageClasses pageClasses;
  const bool elevatesItself = sys::VersionNumber(sys::GetOSVersion()) >= 6.0;
  const std::string arguments = platform.Arguments();
  const SetupSwitches switches = ParseSetupSwitches(arguments);
  if (!switches.given) {
    if (elevatesItself && platform.ParamCount() == 0) return RelaunchElevated(platform, "");
  } else {
    if (switches.help) return ShowUsage(platform);
    if (!switches.error.empty()) return RefuseSwitches(platform, switches);
    // A deployment tool running as SYSTEM or an administrator is elevated already.
    if (elevatesItself && !switches.elevatedCopy && !platform.IsElevated()) {
      return RelaunchElevated(platform, arguments);
    }
  }
  return RunSetupSession(platform, backend, switches);
}

}  // namespace app
