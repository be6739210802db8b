// The simulated machine of simulate, watching what the component packages do. The component
// step reports nothing to the windows, so the only way to see it is on the machine itself: the
// programs it starts and the files it copies, both from a component's unpacked folder
// (TEMP\Comp\<name>\...). Everything else passes through unchanged.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "system/sandbox/SandboxPlatform.h"

class TCompile;

namespace tool {

class ComponentWatch : public sys::sandbox::SandboxPlatform {
 public:
  using SandboxPlatform::SandboxPlatform;

  struct Action {
    std::string source;  // GBK: the component's file
    std::string target;  // GBK: where it was copied; empty for a program started
    bool done;           // copied (false: the target existed or the copy failed), or started
  };

  bool CopyNewFile(const std::string& source, const std::string& target) override;
  sys::ShellOutcome ShellRunAndWait(const sys::ShellRequest& request) override;

  const std::vector<Action>& actions() const { return actions_; }

 private:
  std::vector<Action> actions_;
};

// "Component packages:" and, for each of the project's components, what it ran and copied.
void PrintComponentReport(const std::vector<std::string>& components, const ComponentWatch& watch,
                          std::ostream& out);

}  // namespace tool
