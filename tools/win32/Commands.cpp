// The commands of setup-tool.exe: all but simulate and uninstall, which play a setup run on the
// sandbox, a simulated Windows built on the Linux host's file system.
#include "tools/commands/Commands.h"

#include <array>

namespace tool {

std::span<const Command* const> Commands() {
  static const std::array<const Command*, 7> table = {
      &InitCommand(),   &BuildCommand(),   &CheckCommand(),  &InspectCommand(),
      &VerifyCommand(), &ExtractCommand(), &InslogCommand(),
  };
  return table;
}

}  // namespace tool
