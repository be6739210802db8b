#include "app/ProgramBody.h"

#include "app/ErrorReporter.h"
#include "app/PageClasses.h"
#include "app/uInstall.h"
#include "engine/FinishActions.h"
#include "system/Error.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "wizard/SetupErrors.h"

std::unique_ptr<TInstall> CurrentInstall;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;

// Relaunches elevated and waits; the copy's exit code becomes ours when it is known. What the
// person chose to open at the end, the copy hands back, to be opened here as the person.
int RelaunchElevated(sys::Platform& platform) {
  uint32_t exitCode = kExitOk;
  const std::string handBack = platform.CreateHandBack();
  try {
    sys::RunElevated(platform.ExePath(), handBack.empty() ? "-1" : "-1 " + handBack, exitCode);
  } catch (const sys::Abort&) {
    // The person refused the elevation prompt: nothing runs, nothing is said.
  }
  OpenHandedBackFiles(platform);
  return static_cast<int>(exitCode);
}

}  // namespace

int RunSetupProgram(sys::Platform& platform, ui::Backend& backend) {
  ScopedPageClasses pageClasses;
  if (sys::VersionNumber(sys::GetOSVersion()) >= 6.0 && platform.ParamCount() == 0) {
    return RelaunchElevated(platform);
  }
  ScopedErrorReporter reporter;
  int status = kExitOk;
  CurrentInstall = std::make_unique<TInstall>(platform);
  try {
    CurrentInstall->Execute(backend);
  } catch (const std::exception& error) {
    // Freed first, so the temporary files are gone by the time the person reads the box.
    CurrentInstall.reset();
    ReportSetupError(error);
    status = dynamic_cast<const sys::Abort*>(&error) ? kExitOk : kExitFailure;
  }
  CurrentInstall.reset();
  if (reporter.Reported() > 0) status = kExitFailure;
  return status;
}
