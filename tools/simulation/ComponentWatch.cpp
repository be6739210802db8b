#include "tools/simulation/ComponentWatch.h"

#include "system/Gbk.h"
#include "tools/host/ToolText.h"

namespace tool {

bool ComponentWatch::CopyNewFile(const std::string& source, const std::string& target) {
  bool copied = SandboxPlatform::CopyNewFile(source, target);
  actions_.push_back({source, target, copied});
  return copied;
}

sys::ShellOutcome ComponentWatch::ShellRunAndWait(const sys::ShellRequest& request) {
  sys::ShellOutcome outcome = SandboxPlatform::ShellRunAndWait(request);
  actions_.push_back({request.file, {}, outcome.started});
  return outcome;
}

void PrintComponentReport(const std::vector<std::string>& components, const ComponentWatch& watch,
                          std::ostream& out) {
  if (components.empty()) return;
  out << "\nComponent packages:\n";
  for (const std::string& name : components) {
    // The unpacked folder of the component, as the resources are unpacked.
    const std::string folder = "\\Comp\\" + name + "\\";
    out << "  " << GbkToUtf8Lossy(name) << ":";
    bool any = false;
    for (const ComponentWatch::Action& action : watch.actions()) {
      if (!sys::ContainsText(action.source, folder)) continue;
      // The part below the component's folder (unpacking keeps its leading separator).
      std::string file = action.source.substr(sys::FindText(action.source, folder) + folder.size());
      while (!file.empty() && file.front() == '\\') file.erase(0, 1);
      out << "\n    ";
      if (action.target.empty()) {
        out << (action.done ? "ran " : "could not run ") << GbkToUtf8Lossy(file);
      } else {
        out << (action.done ? "copied " : "did not copy (the target exists or cannot be written) ") << GbkToUtf8Lossy(file)
            << " -> " << GbkToUtf8Lossy(action.target);
      }
      any = true;
    }
    out << (any ? "\n" : " nothing run or copied (see docs/checks.md: its .ini)\n");
  }
}

}  // namespace tool
