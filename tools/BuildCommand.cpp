// build PROJECT.json --stub EXE -o OUT [--uninstaller EXE]: writes the setup program (stub +
// package).
#include <filesystem>
#include <system_error>

#include "package/PeHeaders.h"
#include "tools/CommandLine.h"
#include "tools/HostFiles.h"
#include "tools/Commands.h"
#include "tools/ProjectJson.h"
#include "tools/ToolText.h"
#include "tools/packager/PackageWriter.h"

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

// The uninstaller is a build output of its own, so a project names a placeholder and the build
// of the product puts the real program in: every kind-5 entry takes the given file's content.
void UseUninstaller(ProjectDocument& project, const fs::path& uninstaller) {
  bool found = false;
  for (size_t i = 0; i < project.lists.FileList.size(); ++i) {
    if (project.lists.FileList[i]->EntryKind != kEntryUninstaller) continue;
    project.contents.at(i) = uninstaller;
    found = true;
  }
  if (!found) throw UsageError("--uninstaller: the project has no uninstaller entry");
}

// The package goes to a temporary file first, so a failed build leaves no half-written output.
class PendingOutput {
 public:
  explicit PendingOutput(fs::path target)
      : target_(std::move(target)), temporary_(target_.string() + ".partial") {}
  ~PendingOutput() {
    std::error_code ignored;
    if (!committed_) fs::remove(temporary_, ignored);
  }
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  const fs::path& temporary() const { return temporary_; }
  void Commit() {
    fs::rename(temporary_, target_);
    committed_ = true;
  }

 private:
  fs::path target_;
  fs::path temporary_;
  bool committed_ = false;
};

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--stub", "-o", "--output", "--level", "--uninstaller"});
  ExpectPositional(args, 1);
  auto stubPath = args.Value("--stub");
  auto outPath = args.Value("-o");
  if (!outPath) outPath = args.Value("--output");
  if (!stubPath) throw UsageError("--stub EXE is required");
  if (!outPath) throw UsageError("-o OUT is required");
  packager::WriteOptions options;
  if (auto level = args.Value("--level")) options.level = ParseLevel(*level);

  ProjectDocument project = LoadProjectFile(args.positional[0]);
  for (const std::string& warning : project.warnings) context.err << "warning: " << warning << "\n";
  if (auto uninstaller = args.Value("--uninstaller")) UseUninstaller(project, *uninstaller);

  std::unique_ptr<sys::Stream> stub = OpenInputFile(*stubPath);
  // Signing comes after packing; a signature already on the stub ends up in front of the package
  // where no signature checker looks for it.
  if (auto pe = ReadPeLayout(*stub); pe && pe->certificateSize != 0) {
    context.err << "warning: the stub is signed; its signature will not cover the package. "
                   "Sign the setup program after building it, from an unsigned stub\n";
  }
  stub->Seek(0);
  packager::ContentSource content = [&project](size_t index, const TCompileFileData&) {
    const fs::path& file = project.contents.at(index);
    return file.empty() ? nullptr : OpenInputFile(file);
  };
  PendingOutput output{fs::path(*outPath)};
  packager::WrittenPackage written;
  {
    std::unique_ptr<sys::Stream> target = CreateOutputFile(output.temporary());
    written = packager::WritePackage(*stub, project.lists, project.serial, content, *target,
                                     options);
  }
  output.Commit();
  context.out << "wrote " << *outPath << ": " << project.lists.FileList.size() << " entries, "
              << written.length << " bytes (stub " << written.stubSize << ", configuration at "
              << written.directoryOffset << ", files " << written.size << " bytes unpacked)\n";
  return kExitOk;
}

}  // namespace

const Command& BuildCommand() {
  static const Command command{
      "build", "write a setup program from a project JSON file and a stub",
      "PROJECT.json --stub EXE -o OUT [--level default|none|speed|best] [--uninstaller EXE]\n\n"
      "Appends the package described by PROJECT.json behind the executable image EXE and\n"
      "writes the result to OUT. Content paths in the JSON are relative to its folder.\n"
      "Offsets, sizes and the trailer are computed. --level sets the zlib level (default:\n"
      "zlib's default, as the packager writes). --uninstaller packs EXE as the content of\n"
      "the project's uninstaller entry (a built uninst.exe in place of the one the project\n"
      "names). The format is described in docs/project-json.md.\n",
      &Run};
  return command;
}

}  // namespace tool
