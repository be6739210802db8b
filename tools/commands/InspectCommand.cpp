// inspect SETUP: the whole project as JSON, with the package's offsets and sizes.
#include "package/PackageFormat.h"
#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/commands/HostFiles.h"
#include "tools/project/ProjectJson.h"
#include "tools/reading/PackageFile.h"

namespace tool {
namespace {

// The certificate table the PE header records, and whether it ends the package (signed after
// packing) or lies somewhere the reader does not accept.
Json SignatureJson(const package::PackageBounds& bounds) {
  if (!bounds.certificates) return nullptr;
  return Json{{"certificateTableOffset", bounds.certificates->offset},
              {"certificateTableSize", bounds.certificates->size},
              {"endsPackage", bounds.signedAfterPackage}};
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {});
  ExpectPositional(args, 1);
  InputFile input(args.positional[0]);
  PackageFile file(input.path(), input.name());
  const PackageTrailer& trailer = file.trailer();

  Json package;
  package["fileLength"] = trailer.length;
  package["packageEnd"] = trailer.end;
  package["signature"] = SignatureJson(file.bounds());
  package["size"] = trailer.size;
  package["directoryOffset"] = trailer.directoryOffset;
  int64_t unpackedBytes = 0;
  std::unique_ptr<TCompile> project = file.ReadProject(&unpackedBytes);
  if (trailer.directoryOffset > 0) {
    RunFigures figures;
    CheckChunkRun(file.stream(), trailer.directoryOffset, trailer.end - package::kTrailerSize,
                  figures);
    package["configuration"] =
        Json{{"storedBytes", trailer.end - package::kTrailerSize - trailer.directoryOffset},
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
      "configuration block, where the package ends and the signature's certificate table\n"
      "when the file is signed) and each entry's \"stored\" offsets and size. build ignores\n"
      "those. For a project that rebuilds as it is, use extract, which also writes the\n"
      "content files. SETUP \"-\" reads the setup program from standard input.\n",
      &Run};
  return command;
}

}  // namespace tool
