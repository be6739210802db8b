// build PROJECT.json --stub EXE -o OUT [--uninstaller EXE]: writes the setup program (stub +
// package).
#include <filesystem>
#include <system_error>

#include "package/PeHeaders.h"
#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/commands/HostFiles.h"
#include "tools/commands/ProgressMeter.h"
#include "tools/host/PendingOutput.h"
#include "tools/host/ToolText.h"
#include "tools/packager/PackageWriter.h"
#include "tools/project/ProjectJson.h"
#include "tools/project/Warnings.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

TCompressLevelEnum ParseLevel(const std::string& text) {
  if (text == "default") return cplDefault;
  if (text == "none") return cplNone;
  if (text == "speed") return cplSpeed;
  if (text == "best") return cplPress;
  throw UsageError("--level must be default, none, speed or best");
}

int64_t ContentBytes(const ProjectDocument& project) {
  int64_t total = 0;
  std::error_code ignored;
  for (const fs::path& file : project.contents) {
    if (!file.empty()) total += static_cast<int64_t>(fs::file_size(file, ignored));
  }
  return total;
}

bool HasUninstaller(const ProjectDocument& project) {
  for (const auto& entry : project.lists.FileList) {
    if (entry->EntryKind == package::kEntryUninstaller) return true;
  }
  return false;
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--stub", "-o", "--output", "--level", "--uninstaller"},
                              {"--strict"});
  ExpectPositional(args, 1);
  auto stubPath = args.Value("--stub");
  auto outPath = args.Value("-o");
  if (!outPath) outPath = args.Value("--output");
  if (!stubPath) throw UsageError("--stub EXE is required");
  if (!outPath) throw UsageError("-o OUT is required");
  packager::WriteOptions options;
  if (auto level = args.Value("--level")) options.level = ParseLevel(*level);

  // The uninstaller is a build output of its own, so a project names a placeholder (or no
  // content at all) and the build of the product puts the real program in.
  ProjectLoadOptions loadOptions;
  if (auto uninstaller = args.Value("--uninstaller")) loadOptions.uninstaller = *uninstaller;
  ExpectOneStandardInput({&args.positional[0], &*stubPath});
  ProjectDocument project = LoadProjectFile(HostPath(args.positional[0]), loadOptions);
  if (!loadOptions.uninstaller.empty() && !HasUninstaller(project)) {
    throw UsageError("--uninstaller: the project has no uninstaller entry");
  }
  if (ReportWarnings(project, args.Has("--strict"), context.verbosity == Verbosity::Quiet,
                     context.err)) {
    return kExitFailure;
  }

  InputFile stubFile(*stubPath);
  std::unique_ptr<sys::Stream> stub = OpenInputFile(stubFile.path());
  // Signing comes after packing; a signature already on the stub ends up in front of the package
  // where no signature checker looks for it.
  if (auto pe = package::ReadPeLayout(*stub); pe && pe->certificateSize != 0) {
    context.err << "warning: the stub is signed; its signature will not cover the package. "
                   "Sign the setup program after building it, from an unsigned stub\n";
  }
  stub->Seek(0);
  const bool toStandardOutput = *outPath == "-";
  ProgressMeter meter(context.err, context.ShowsProgress(context.err), ContentBytes(project),
                      context.progressObserver);
  packager::ContentSource content = [&project, &meter](size_t index, const TCompileFileData&) {
    const fs::path& file = project.contents.at(index);
    return file.empty() ? nullptr : MeteredStream(OpenInputFile(file), meter);
  };
  packager::WrittenPackage written;
  if (toStandardOutput) {
    std::unique_ptr<sys::Stream> target = StandardOutputStream();
    written = packager::WritePackage(*stub, project.lists, project.serial, content, *target, options);
  } else {
    PendingOutput output{HostPath(*outPath)};
    {
      std::unique_ptr<sys::Stream> target = CreateOutputFile(output.temporary());
      written = packager::WritePackage(*stub, project.lists, project.serial, content, *target,
                                       options);
    }
    output.Commit();
  }
  meter.Clear();
  // With the package on standard output, the status line goes to standard error.
  std::ostream& status = context.verbosity == Verbosity::Quiet ? context.Status()
                         : toStandardOutput                      ? context.err
                                                                 : context.out;
  if (context.verbosity == Verbosity::Verbose) {
    for (size_t i = 0; i < project.lists.FileList.size(); ++i) {
      const TCompileFileData& entry = *project.lists.FileList[i];
      status << "  " << project.entryPaths[i] << " "
             << GbkToUtf8Lossy(entry.SourcePath.empty() ? entry.EntryName : entry.SourcePath) << ": "
             << entry.FileSize << " bytes, " << entry.DataEnd - entry.DataStart << " stored\n";
    }
  }
  status << "wrote " << *outPath << ": " << project.lists.FileList.size() << " entries, "
         << written.length << " bytes (stub " << written.stubSize << ", configuration at "
         << written.directoryOffset << ", files " << written.size << " bytes unpacked)\n";
  return kExitOk;
}

}  // namespace

const Command& BuildCommand() {
  static const Command command{
      "build", "write a setup program from a project JSON file and a stub",
      "PROJECT.json --stub EXE -o OUT [--level default|none|speed|best] [--uninstaller EXE]\n"
      "      [--strict]\n\n"
      "Appends the package described by PROJECT.json behind the executable image EXE and\n"
      "writes the result to OUT. Content paths in the JSON are relative to its folder.\n"
      "Offsets, sizes and the trailer are computed. --level sets the zlib level (default:\n"
      "zlib's default, as the packager writes). --uninstaller packs EXE as the content of\n"
      "the project's uninstaller entry (a built uninst.exe in place of the one the project\n"
      "names). The format is described in docs/project-json.md.\n"
      "Projects that build but would misbehave are warned about (docs/checks.md), each with\n"
      "its line and column; --strict fails the build on any warning.\n"
      "PROJECT.json \"-\" reads the project from standard input (content paths relative to\n"
      "the current folder), as does --stub \"-\" the stub (one of them only); -o - writes the\n"
      "setup program to standard output. On a terminal\n"
      "a progress line shows the bytes packed and the rate.\n",
      &Run};
  return command;
}

}  // namespace tool
