// Registration of installed files with Windows: COM components through regsvr32, services
// through their own -Install switch, programs started with Windows through the machine-wide Run
// key. Fire and forget: nothing waits for the started programs or looks at their outcome, and
// nothing of this is recorded for uninstall. Each helper also offers the removal direction.
#pragma once

#include <string>

namespace sys {
class Platform;
}

namespace engine {

inline constexpr const char* kRunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace engine

// "regsvr32.exe /s "path"" (install) or "regsvr32.exe /s/u "path"" (removal).
void RegisterComponent(sys::Platform& platform, const std::string& path, bool install);
// "path" -Install or "path" -unInstall: the path quoted, so an install folder with blanks
// never lets Windows start a program from a folder above it.
void RegisterService(sys::Platform& platform, const std::string& path, bool install);
// Writes (install) or deletes the Run value name = "path" (quoted, as above) under
// HKEY_LOCAL_MACHINE; nothing
// happens when the Run key cannot be opened.
void SetAutoRun(sys::Platform& platform, const std::string& name, const std::string& path,
                bool install);
