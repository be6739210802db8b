// What a simulated setup run left on the machine, printed after the run: the product's
// Uninstall registration, the uninstall log beside its uninstaller, and the journal lines the
// run added (programs started, shell executes, message boxes, shell verbs, restarts).
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace sys::sandbox {
class SandboxPlatform;
}

namespace tool {

// serial names the product (GBK); journalBefore is the journal's line count before the run.
void PrintSimulationReport(sys::sandbox::SandboxPlatform& sandbox, const std::string& serial,
                           size_t journalBefore, std::ostream& out);

// The journal lines from journalBefore on, one readable line each, under a heading.
void PrintJournal(const sys::sandbox::SandboxPlatform& sandbox, size_t journalBefore,
                  std::ostream& out);

}  // namespace tool
