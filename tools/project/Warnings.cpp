#include "tools/project/Warnings.h"

#include "tools/project/ProjectJson.h"

namespace tool {

bool ReportWarnings(const ProjectDocument& project, bool strict, bool quiet, std::ostream& err) {
  if (!quiet || strict) {
    for (const Diagnostic& warning : project.warnings) err << FormatWarning(warning) << "\n";
  }
  if (!strict || project.warnings.empty()) return false;
  err << project.warnings.size() << (project.warnings.size() == 1 ? " warning" : " warnings")
      << " with --strict: nothing written\n";
  return true;
}

}  // namespace tool
