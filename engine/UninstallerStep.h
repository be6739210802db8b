// The install step that writes the uninstaller program into the install folder and gives it a
// Start-menu shortcut "卸载“ItemName”" (numbered when taken). Nothing happens for a patch.
#pragma once

#include <string>

class TCompile;
class TUnInstall;
namespace sys {
class Stream;
}

// Returns the uninstaller's full path, or empty text when the package has none.
std::string InstallUninstaller(TCompile& compile, sys::Stream& package, TUnInstall& log);
