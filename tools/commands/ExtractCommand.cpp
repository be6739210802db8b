// extract SETUP DIR: every entry's content under DIR, and DIR/project.json that rebuilds it;
// extract SETUP --entry N -o FILE: one entry's content.
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/commands/HostFiles.h"
#include "tools/commands/ProgressMeter.h"
#include "tools/host/PendingOutput.h"
#include "tools/host/ToolText.h"
#include "tools/project/ProjectJson.h"
#include "tools/reading/ExtractLayout.h"
#include "tools/reading/PackageFile.h"

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

// package is the package's stream (through the progress meter).
void WriteEntry(sys::Stream& package, const TCompileFileData& entry, const fs::path& target) {
  fs::create_directories(target.parent_path());
  try {
    std::unique_ptr<sys::Stream> output = CreateOutputFile(target);
    TCompile::CopyEntryData(package, *output, entry.DataStart, entry.DataEnd);
  } catch (...) {
    std::error_code ignored;
    fs::remove(target, ignored);
    throw;
  }
}

size_t ParseEntryIndex(const std::string& text, const TCompile& project) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
    throw UsageError("--entry takes an entry's index, as inspect numbers them (files[N])");
  }
  const size_t index = std::stoul(text);
  if (index >= project.FileList.size()) {
    throw Failure("there is no entry " + text + ": the package has " +
                  std::to_string(project.FileList.size()));
  }
  if (project.FileList[index]->EntryKind == package::kEntryFolder) {
    throw Failure(DescribeEntry(*project.FileList[index], index) + " is a folder: it has no content");
  }
  return index;
}

// One entry's content to a file, or to standard output for "-".
int ExtractOne(CommandContext& context, PackageFile& file, const TCompile& project,
               const std::string& entryText, const std::string& outPath) {
  const size_t index = ParseEntryIndex(entryText, project);
  const TCompileFileData& entry = *project.FileList[index];
  ProgressMeter meter(context.err, context.ShowsProgress(context.err),
                      entry.DataEnd - entry.DataStart, context.progressObserver);
  std::unique_ptr<sys::Stream> package = MeteredStream(file.stream(), meter);
  int64_t written = 0;
  if (outPath == "-") {
    std::unique_ptr<sys::Stream> output = StandardOutputStream();
    TCompile::CopyEntryData(*package, *output, entry.DataStart, entry.DataEnd);
    written = output->Position();
  } else {
    PendingOutput output{HostPath(outPath)};
    {
      std::unique_ptr<sys::Stream> target = CreateOutputFile(output.temporary());
      TCompile::CopyEntryData(*package, *target, entry.DataStart, entry.DataEnd);
      written = target->Position();
    }
    output.Commit();
  }
  meter.Clear();
  // With the content on standard output, the status line goes to standard error.
  std::ostream& status = context.verbosity == Verbosity::Quiet ? context.Status()
                         : outPath == "-"                        ? context.err
                                                                 : context.out;
  status << "extracted " << DescribeEntry(entry, index) << " to " << outPath << ": " << written
         << " bytes\n";
  return kExitOk;
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--entry", "-o", "--output"});
  auto entry = args.Value("--entry");
  auto outPath = args.Value("-o");
  if (!outPath) outPath = args.Value("--output");
  ExpectPositional(args, entry ? 1 : 2);
  if (entry && !outPath) throw UsageError("--entry N needs -o FILE (- for standard output)");
  if (!entry && outPath) throw UsageError("-o goes with --entry N; all entries go below DIR");
  InputFile input(args.positional[0]);
  PackageFile file(input.path(), input.name());
  std::unique_ptr<TCompile> project = file.ReadProject();
  if (entry) return ExtractOne(context, file, *project, *entry, *outPath);
  const fs::path dir = HostPath(args.positional[1]);
  fs::create_directories(dir);

  ProjectJsonOptions options;
  options.contents.resize(project->FileList.size());
  std::set<fs::path> taken;
  size_t written = 0, failed = 0;
  ProgressMeter meter(context.err, context.ShowsProgress(context.err), StoredBytes(*project),
                      context.progressObserver);
  std::unique_ptr<sys::Stream> package = MeteredStream(file.stream(), meter);
  for (size_t i = 0; i < project->FileList.size(); ++i) {
    const TCompileFileData& entry = *project->FileList[i];
    if (entry.EntryKind == package::kEntryFolder) continue;
    try {
      fs::path relative = Unique(ExtractPath(entry), i, taken);
      WriteEntry(*package, entry, dir / relative);
      options.contents[i] = GenericPathText(relative);
      ++written;
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
  if (!json.flush()) throw Failure("cannot write " + PathText(dir / "project.json"));
  context.out << "extracted " << written << " entries to " << PathText(dir) << " (project.json"
              << " describes them)";
  if (failed) context.out << "; " << failed << " not extracted";
  context.out << "\n";
  return failed ? kExitFailure : kExitOk;
}

}  // namespace

const Command& ExtractCommand() {
  static const Command command{
      "extract", "write every entry's content and a rebuildable project.json",
      "SETUP DIR\n"
      "       setup-tool extract SETUP --entry N -o FILE\n\n"
      "Writes the content of every entry of SETUP below DIR (files/, Reg/, Comp/, Info/,\n"
      "Uninstaller/) and DIR/project.json, the project with \"content\" paths pointing at\n"
      "those files, so that `build DIR/project.json --stub EXE -o OUT` rebuilds the package.\n"
      "Names that could leave DIR (\"..\", drive or stream colons, NUL bytes) are refused:\n"
      "that entry is reported and skipped, and the exit code is 1.\n"
      "--entry N writes only the content of entry N (files[N] in inspect's output) to FILE;\n"
      "-o - writes it to standard output. SETUP \"-\" reads the setup program from standard\n"
      "input. On a terminal a progress line shows the bytes unpacked and the rate.\n",
      &Run};
  return command;
}

}  // namespace tool
