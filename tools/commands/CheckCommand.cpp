// check PROJECT.json [--strict]: reads a project as build does and reports what build would
// refuse or warn about, without writing anything.
#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/host/ToolText.h"
#include "tools/project/ProjectJson.h"
#include "tools/project/Warnings.h"

namespace tool {
namespace {

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {}, {"--strict"});
  ExpectPositional(args, 1);
  ProjectLoadOptions options;
  options.requireUninstallerContent = false;  // build --uninstaller may give it
  ProjectDocument project = LoadProjectFile(HostPath(args.positional[0]), options);
  if (ReportWarnings(project, args.Has("--strict"), context.verbosity == Verbosity::Quiet,
                     context.err)) {
    return kExitFailure;
  }
  context.Status() << args.positional[0] << ": " << project.lists.FileList.size() << " entries, "
              << project.warnings.size()
              << (project.warnings.size() == 1 ? " warning\n" : " warnings\n");
  return kExitOk;
}

}  // namespace

const Command& CheckCommand() {
  static const Command command{
      "check", "check a project JSON file without building it",
      "PROJECT.json [--strict]\n\n"
      "Reads PROJECT.json exactly as build does: a fault stops it with its JSON path, line\n"
      "and column (exit 1); warnings about what would misbehave in the setup program are\n"
      "printed the same way (docs/checks.md). --strict makes any warning fail (exit 1).\n",
      &Run};
  return command;
}

}  // namespace tool
