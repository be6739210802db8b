// extract SETUP DIR: every entry's content under DIR, and DIR/project.json that rebuilds it.
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "tools/CommandLine.h"
#include "tools/Commands.h"
#include "tools/ExtractLayout.h"
#include "tools/HostFiles.h"
#include "tools/PackageFile.h"
#include "tools/ProgressMeter.h"
#include "tools/ProjectJson.h"
#include "tools/ToolText.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

// Two entries may share a name (resources of the same file name); the later one keeps both
// apart by its index instead of overwriting the earlier one.
fs::path Unique(fs::path relative, size_t index, std::set<fs::path>& taken) {
  if (taken.count(relative)) {
    fs::path name = relative.stem();
    name += "~" + std::to_string(index);
    name += relative.extension();
    relative.replace_filename(name);
  }
  taken.insert(relative);
  return relative;
}

void WriteEntry(PackageFile& file, const TCompileFileData& entry, const fs::path& target) {
  fs::create_directories(target.parent_path());
  try {
    std::unique_ptr<sys::Stream> output = CreateOutputFile(target);
    TCompile::CopyEntryData(file.stream(), *output, entry.DataStart, entry.DataEnd);
  } catch (...) {
    std::error_code ignored;
    fs::remove(target, ignored);
    throw;
  }
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {});
  ExpectPositional(args, 2);
  PackageFile file(args.positional[0]);
  const fs::path dir = args.positional[1];
  std::unique_ptr<TCompile> project = file.ReadProject();
  fs::create_directories(dir);

  ProjectJsonOptions options;
  options.contents.resize(project->FileList.size());
  std::set<fs::path> taken;
  size_t written = 0, failed = 0;
  ProgressMeter meter(context.err, context.verbosity != Verbosity::Quiet && IsTerminal(context.err),
                      StoredBytes(*project));
  for (size_t i = 0; i < project->FileList.size(); ++i) {
    const TCompileFileData& entry = *project->FileList[i];
    if (entry.EntryKind == kEntryFolder) continue;
    try {
      fs::path relative = Unique(ExtractPath(entry), i, taken);
      WriteEntry(file, entry, dir / relative);
      options.contents[i] = relative.generic_string();
      ++written;
      meter.Advance(entry.DataEnd - entry.DataStart);
    } catch (const std::exception& error) {
      meter.Clear();
      context.err << DescribeEntry(entry, i) << ": not extracted: " << DescribeError(error)
                  << "\n";
      ++failed;
    }
  }
  meter.Clear();
  std::ofstream json(dir / "project.json", std::ios::binary);
  json << ProjectToJson(*project, project->Serial, options).dump(2) << "\n";
  if (!json.flush()) throw Failure("cannot write " + (dir / "project.json").string());
  context.out << "extracted " << written << " entries to " << dir.string() << " (project.json"
              << " describes them)";
  if (failed) context.out << "; " << failed << " not extracted";
  context.out << "\n";
  return failed ? kExitFailure : kExitOk;
}

}  // namespace

const Command& ExtractCommand() {
  static const Command command{
      "extract", "write every entry's content and a rebuildable project.json",
      "SETUP DIR\n\n"
      "Writes the content of every entry of SETUP below DIR (files/, Reg/, Comp/, Info/,\n"
      "Uninstaller/) and DIR/project.json, the project with \"content\" paths pointing at\n"
      "those files, so that `build DIR/project.json --stub EXE -o OUT` rebuilds the package.\n"
      "Names that could leave DIR (\"..\", drive or stream colons, NUL bytes) are refused:\n"
      "that entry is reported and skipped, and the exit code is 1.\n",
      &Run};
  return command;
}

}  // namespace tool
