// The commands of the Linux setup-tool (tools/win32/Commands.cpp lists the Windows tool's).
#include "tools/commands/Commands.h"

#include <array>

namespace tool {

std::span<const Command* const> Commands() {
  static const std::array<const Command*, 9> table = {
      &InitCommand(),
      &BuildCommand(),
      &CheckCommand(),
      &InspectCommand(),
      &VerifyCommand(),
      &ExtractCommand(),
      &SimulateCommand(),
      &InslogCommand(),
      &UninstallCommand(),
  };
  return table;
}

}  // namespace tool
