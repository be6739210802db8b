#include "tools/simulation/Answers.h"

#include "system/sandbox/SandboxPlatform.h"
#include "tools/simulation/SimulationScript.h"

namespace tool {

void LoadAnswers(sys::sandbox::SandboxPlatform& sandbox, const std::filesystem::path& file) {
  SimulationScript script = LoadSimulationScript(file);
  sandbox.SetAnswers(std::move(script.answers), script.defaultAnswer);
}

}  // namespace tool
