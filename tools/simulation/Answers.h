// The answers file of uninstall: the answers to the machine's question boxes in order, then a
// default, read as simulate reads its answers file (SimulationScript.h), so both take the
// same files:   {"answers": ["yes", "no", ...], "default": "no"}   or just   ["yes", "no"]
#pragma once

#include <filesystem>

namespace sys::sandbox {
class SandboxPlatform;
}

namespace tool {

// Sets the sandbox's scripted answers; throws tool::Failure for an unreadable or malformed file.
void LoadAnswers(sys::sandbox::SandboxPlatform& sandbox, const std::filesystem::path& file);

}  // namespace tool
