// Reads a shell link file back through the shell's own IShellLinkW::Load, the independent route
// the win32 tests check WriteShellLink against. The show command comes from the file bytes
// (offset 0x3C): Wine's GetShowCmd answers 1 whatever the file holds.
#pragma once

#include <string>

#include "system/Platform.h"

namespace sys::win32::tests {

// Needs COM on the calling thread. Throws std::runtime_error when the file does not load.
ShellLink ReadShellLink(const std::string& path);

}  // namespace sys::win32::tests
