// The install step for component packages: each CompList entry is installed by its settings
// file (CompName + ".ini" among its files), either by running its setup program or by copying
// its files. Nothing is reported and nothing is recorded for uninstall.
#pragma once

#include <string>

class TCompile;
namespace sys {
class Platform;
}

void InstallComponents(TCompile& compile);
// The unpacked path of the first kind-3 entry of compName whose path contains name (ASCII case
// ignored); empty when none does or name is empty.
std::string FindComponentFile(const TCompile& compile, const std::string& compName,
                              const std::string& name);
// Starts a program and waits for its end while window messages keep flowing.
bool RunAndWait(sys::Platform& platform, const std::string& file, const std::string& parameters);
// Copies one component file; a target holding "[System Directory]\\" (exact case) names the
// path after that marker below the Windows folder. An existing target is never replaced; a
// failed copy is ignored.
void CopyToWindowsDir(sys::Platform& platform, const std::string& source, const std::string& target);
