#include "tools/Commands.h"

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

const Command* FindCommand(const std::string& name) {
  for (const Command* command : Commands()) {
    if (name == command->name) return command;
  }
  return nullptr;
}

}  // namespace tool
