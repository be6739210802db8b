// verify SETUP: walks every chunk of the configuration and of every entry.
#include <optional>

#include "package/PackageFormat.h"
#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/commands/HostFiles.h"
#include "tools/commands/ProgressMeter.h"
#include "tools/host/ToolText.h"
#include "tools/reading/PackageFile.h"

namespace tool {
namespace {

struct Totals {
  int64_t entries = 0;
  int64_t chunks = 0;
  int64_t unpacked = 0;
};

// Sizes the runtime relies on: Size sums the files; files and resources say how big they are.
bool SizeIsChecked(uint8_t kind) {
  return kind == package::kEntryFile || kind == package::kEntryResource;
}

// file is the package's stream (through the progress meter).
std::optional<std::string> CheckEntry(sys::Stream& file, const TCompileFileData& entry,
                                      int64_t directory, Totals& totals) {
  if (entry.EntryKind == package::kEntryFolder) return std::nullopt;
  if (entry.DataStart < 0 || entry.DataStart > entry.DataEnd || entry.DataEnd > directory) {
    return "data range " + std::to_string(entry.DataStart) + ".." +
           std::to_string(entry.DataEnd) + " does not lie before the configuration at " +
           std::to_string(directory);
  }
  RunFigures figures;
  if (auto fault = CheckChunkRun(file, entry.DataStart, entry.DataEnd, figures)) {
    return "offset " + std::to_string(fault->offset) + ": " + fault->reason;
  }
  if (SizeIsChecked(entry.EntryKind) && figures.unpacked != entry.FileSize) {
    return "unpacks to " + std::to_string(figures.unpacked) + " bytes, its FileSize says " +
           std::to_string(entry.FileSize);
  }
  ++totals.entries;
  totals.chunks += figures.chunks;
  totals.unpacked += figures.unpacked;
  return std::nullopt;
}

int Fail(CommandContext& context, const std::string& where, const std::string& reason) {
  context.err << "DAMAGED: " << where << ": " << reason << "\n";
  return kExitFailure;
}

// A signing tool appends its table after the package (and its padding); a table anywhere else
// means bytes were added after signing, or the package after the signature. Either way the
// signature no longer covers what the setup program reads.
std::optional<std::string> CheckSignature(const package::PackageBounds& bounds) {
  if (!bounds.certificates || bounds.signedAfterPackage) return std::nullopt;
  return "the certificate table at " + std::to_string(bounds.certificates->offset) + " (" +
         std::to_string(bounds.certificates->size) + " bytes) does not start right after the " +
         "package's trailer, which ends the file at " + std::to_string(bounds.fileLength) +
         ": something was appended after signing, or the package after the signature";
}

std::string DescribeSignature(const package::PackageBounds& bounds) {
  if (!bounds.signedAfterPackage) return "unsigned";
  return "signed: the package ends at " + std::to_string(bounds.end) + ", then " +
         std::to_string(bounds.certificates->offset - bounds.end) +
         " bytes of padding and the certificate table at " +
         std::to_string(bounds.certificates->offset) + " (" +
         std::to_string(bounds.certificates->size) + " bytes)";
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {});
  ExpectPositional(args, 1);
  InputFile input(args.positional[0]);
  PackageFile file(input.path(), input.name());
  const PackageTrailer& trailer = file.trailer();
  if (auto reason = CheckSignature(file.bounds())) return Fail(context, "signature", *reason);
  const int64_t trailerStart = trailer.end - package::kTrailerSize;
  const int64_t directory = trailer.directoryOffset;
  if (directory <= 0 || directory > trailerStart) {
    return Fail(context, "trailer",
                "directory offset " + std::to_string(directory) + " names no configuration block");
  }
  RunFigures config;
  if (auto fault = CheckChunkRun(file.stream(), directory, trailerStart, config)) {
    return Fail(context, "configuration block",
                "offset " + std::to_string(fault->offset) + ": " + fault->reason);
  }
  std::unique_ptr<TCompile> project;
  int64_t unparsed = 0;
  try {
    project = file.ReadProject(nullptr, &unparsed);
  } catch (const std::exception& error) {
    return Fail(context, "configuration", DescribeError(error));
  }
  if (unparsed != 0) {
    return Fail(context, "configuration",
                std::to_string(unparsed) + " bytes follow the serial, which should end it");
  }
  Totals totals;
  int64_t fileBytes = 0;
  ProgressMeter meter(context.err, context.ShowsProgress(context.err), StoredBytes(*project),
                      context.progressObserver);
  std::unique_ptr<sys::Stream> metered = MeteredStream(file.stream(), meter);
  for (size_t i = 0; i < project->FileList.size(); ++i) {
    const TCompileFileData& entry = *project->FileList[i];
    if (auto reason = CheckEntry(*metered, entry, directory, totals)) {
      meter.Clear();
      return Fail(context, DescribeEntry(entry, i), *reason);
    }
    if (entry.EntryKind == package::kEntryFile) fileBytes += entry.FileSize;
  }
  meter.Clear();
  if (fileBytes != trailer.size) {
    return Fail(context, "trailer",
                "Size " + std::to_string(trailer.size) + " differs from the files' " +
                    std::to_string(fileBytes) + " bytes");
  }
  context.out << "OK: " << project->FileList.size() << " entries (" << totals.entries
              << " with data, " << totals.chunks << " chunks, " << totals.unpacked
              << " bytes unpacked); configuration " << config.chunks << " chunks, "
              << config.unpacked << " bytes; " << DescribeSignature(file.bounds()) << "\n";
  return kExitOk;
}

}  // namespace

const Command& VerifyCommand() {
  static const Command command{
      "verify", "check every chunk of a setup program's package",
      "SETUP\n\n"
      "Reads the trailer and the configuration, then inflates every chunk of every entry's\n"
      "data run. Prints OK with the figures, or DAMAGED with the first fault: the entry's\n"
      "index and name, the offset of the bad chunk record and the reason. Exit code 1 when\n"
      "damaged. Also says whether the setup program is signed and where its package ends,\n"
      "and fails when a certificate table does not start right after the package.\n"
      "SETUP \"-\" reads the setup program from standard input. On a terminal a progress\n"
      "line shows the bytes checked and the rate.\n",
      &Run};
  return command;
}

}  // namespace tool
