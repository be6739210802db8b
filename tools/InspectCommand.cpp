// inspect SETUP: the whole project as JSON, with the package's offsets and sizes.
#include "package/PackageFormat.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"
#include "tools/PackageFile.h"
#include "tools/ProjectJson.h"

namespace tool {
namespace {

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {});
  ExpectPositional(args, 1);
  PackageFile file(args.positional[0]);
  const PackageTrailer& trailer = file.trailer();

  Json package;
  package["fileLength"] = trailer.length;
  package["size"] = trailer.size;
  package["directoryOffset"] = trailer.directoryOffset;
  int64_t unpackedBytes = 0;
  std::unique_ptr<TCompile> project = file.ReadProject(&unpackedBytes);
  if (trailer.directoryOffset > 0) {
    RunFigures figures;
    CheckChunkRun(file.stream(), trailer.directoryOffset, trailer.length - kTrailerSize, figures);
    package["configuration"] = Json{
        {"storedBytes", trailer.length - kTrailerSize - trailer.directoryOffset},
        {"chunks", figures.chunks},
        {"unpackedBytes", unpackedBytes}};
  }

  ProjectJsonOptions options;
  options.storedFigures = true;
  Json document;
  document["package"] = std::move(package);
  Json projectJson = ProjectToJson(*project, project->Serial, options);
  for (auto& [key, value] : projectJson.items()) document[key] = std::move(value);
  context.out << document.dump(2) << "\n";
  return kExitOk;
}

}  // namespace

const Command& InspectCommand() {
  static const Command command{
      "inspect", "print a setup program's project as JSON",
      "SETUP\n\n"
      "Prints the project stored in SETUP as JSON (UTF-8) in the shape that build reads,\n"
      "plus the package's figures: \"package\" (file length, Size, directory offset, the\n"
      "configuration block) and each entry's \"stored\" offsets and size. build ignores\n"
      "those. For a project that rebuilds as it is, use extract, which also writes the\n"
      "content files.\n",
      &Run};
  return command;
}

}  // namespace tool
