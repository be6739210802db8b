// One setup run in this process, with or without the administrator's switches: the log, the
// session platform around the real one (SessionPlatform.h), the one-run-at-a-time guard of the
// product, the wizard or the silent run, and the exit code that deployment tools read:
//
//   0     installed
//   3010  installed; the package asks for a restart that was not done
//   1602  cancelled: the wizard was left before the install, or the elevation prompt refused
//   1603  failed: an error ended the run (its reason is in the log and the error box)
//   1618  another setup or uninstaller of this product is running
//   87    malformed switches or answers file (the reason is in the log, or in a box when a
//         person started it)
//
// A person's run gets the same codes; only the silent run keeps every window away.
#pragma once

#include <string>

namespace sys {
class Platform;
}
namespace ui {
class Backend;
}

namespace app {

struct SetupSwitches;

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRestartNeeded = 3010;
inline constexpr int kExitCancelled = 1602;
inline constexpr int kExitFailed = 1603;

// backend hosts a person's windows; a silent run hosts its own in memory.
int RunSetupSession(sys::Platform& platform, ui::Backend& backend, const SetupSwitches& switches);

// Malformed switches: 87, with the reason in the log (when /LOG was readable) and, unless the
// run is silent, in a box with the usage.
int RefuseSwitches(sys::Platform& platform, const SetupSwitches& switches);

// The /? box.
int ShowUsage(sys::Platform& platform);

}  // namespace app
