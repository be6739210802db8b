// Printing a project's warnings the same way in build and check.
#pragma once

#include <ostream>

namespace tool {

struct ProjectDocument;

// Prints each warning on its own line (not when quiet, unless strict); with strict, says that
// they fail the command. True when the command must fail.
bool ReportWarnings(const ProjectDocument& project, bool strict, bool quiet, std::ostream& err);

}  // namespace tool
