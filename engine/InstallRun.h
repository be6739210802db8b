// The install run: the one operation that changes the machine. It opens the setup program's own
// package, finishes what a killed earlier run left, then runs the steps in their fixed order on
// a journalling platform, so that a failed run is rolled back and the error carries what could
// not be undone. TCompile::Install carries it out: a project object of a setup run is created
// with it (TCompile(platform, &engine::RunInstall)).
#pragma once

#include <string>

class TCompile;

namespace engine {

void RunInstall(TCompile& compile, const std::string& exeFile);

}  // namespace engine
