// The program body of setup.exe, without the choice of platform and window backend (main.cpp
// makes those), so that the tests run the same start-up on the sandbox and the headless
// backend.
//
// On version 6.0 and later, started without parameters, it relaunches its own file elevated
// with "-1", waits for that copy and ends with its exit code; the copy sees a parameter and
// runs the setup. With the administrator's switches (CommandLine.h) a run that is not
// elevated relaunches the same way with its switches after "-1"; one already elevated runs at
// once. Any other start runs the setup in this process (SetupSession.h): CurrentInstall is
// created, executed and freed (deleting the temporary files) whatever happens. An error that
// ends the run is shown in a message box; a refused elevation prompt ends the program silently
// with the code of a cancelled run.
#pragma once

#include <memory>

class TInstall;

namespace sys {
class Platform;
}
namespace ui {
class Backend;
}

// The one setup run of the process while it runs; null before and after.
extern std::unique_ptr<TInstall> CurrentInstall;

namespace app {

// Returns the process's exit code (SetupSession.h lists them).
int RunSetupProgram(sys::Platform& platform, ui::Backend& backend);

}  // namespace app
