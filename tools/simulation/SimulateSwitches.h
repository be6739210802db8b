// simulate SETUP --root DIR /S /D=... /ANSWERS=FILE /LOG=FILE ...: the setup program started
// with the administrator's switches, played by the program's own body (RunSetupProgram) on
// the sandbox, as the elevated copy on a deployment runs it. The answers file and the log are
// host files: the answers file is copied beside the setup program in the sandbox, the log is
// written there and copied out. Prints the log, what the run left on the machine and the exit
// code the setup program would end with.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace sys::sandbox {
class SandboxPlatform;
}

namespace tool {

// Takes the setup program's switches ("/NAME[=value]" words, NAME without "/", and "-1") out
// of args, in order, with a
// /D= word last (it takes the rest of the line); empty when there are none.
std::vector<std::string> TakeSetupSwitches(std::vector<std::string>& args);

// 0 when the setup program would end with 0 or 3010, else 1.
int SimulateWithSwitches(sys::sandbox::SandboxPlatform& sandbox, const std::string& exePath,
                         std::vector<std::string> switches, std::ostream& out, std::ostream& err);

}  // namespace tool
