// uninstall UNINSTALLER --root DIR: the uninstall that the product's uninstaller program carries
// out, on a simulated Windows machine: Ins.log beside UNINSTALLER is read, the question is
// answered from the machine's script, and what the log names is removed. Prints the questions
// asked, then every item with what became of it.
#include <filesystem>
#include <string>

#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/host/ToolText.h"
#include "tools/simulation/Answers.h"
#include "tools/simulation/SimulateReport.h"
#include "uninstaller/UninstallDialogs.h"
#include "uninstaller/UninstallLog.h"
#include "uninstaller/Uninstaller.h"

namespace tool {
namespace {

namespace fs = std::filesystem;
using uninst::ItemOutcome;

const char* Why(ItemOutcome outcome) {
  switch (outcome) {
    case ItemOutcome::Removed: return "";
    case ItemOutcome::Absent: return "was not there any more";
    case ItemOutcome::Kept: return "recorded to stay on uninstall";
    case ItemOutcome::NotEmpty: return "holds other files, values or keys";
    case ItemOutcome::Failed: return "could not be removed (in use, read-only or denied)";
    case ItemOutcome::AtRestart: return "marked for removal at the next restart";
  }
  return "";
}

void PrintItems(const uninst::UninstallReport& report, std::ostream& out) {
  size_t removed = 0;
  for (const auto& item : report.items) removed += item.outcome == ItemOutcome::Removed ? 1 : 0;
  out << "\nRemoved (" << removed << "):\n";
  for (const auto& item : report.items) {
    if (item.outcome == ItemOutcome::Removed) out << "  " << GbkToUtf8Lossy(item.what) << "\n";
  }
  out << "\nStayed or gone before (" << report.items.size() - removed << "):\n";
  for (const auto& item : report.items) {
    if (item.outcome == ItemOutcome::Removed) continue;
    out << "  " << GbkToUtf8Lossy(item.what) << "  (" << Why(item.outcome) << ")\n";
  }
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--root", "--answers"});
  ExpectPositional(args, 1);
  auto root = args.Value("--root");
  if (!root) throw UsageError("--root DIR is required");
  if (!fs::is_directory(*root)) throw Failure("no sandbox at " + *root);
  const std::string program = sys::sandbox::Utf8ToGbk(args.positional[0]);

  sys::sandbox::SandboxPlatform sandbox{fs::path(*root)};
  if (auto answers = args.Value("--answers")) LoadAnswers(sandbox, *answers);
  // Started from its registration or its shortcut: no parameters.
  sandbox.SetExePath(program, 0);
  const size_t journalBefore = sandbox.ReadJournal().size();
  const std::string logPath = uninst::LogPathBeside(program);

  uninst::UninstallReport report;
  {
    sys::ScopedCurrentPlatform scope(sandbox);
    uninst::MessageBoxDialogs dialogs(sandbox);
    report = uninst::RunUninstall(sandbox, logPath, dialogs);
  }
  sandbox.Flush();
  context.out << "Uninstall log " << GbkToUtf8Lossy(logPath) << "\n";
  PrintJournal(sandbox, journalBefore, context.out);
  if (!report.error.empty()) {
    context.err << "The uninstall ended with an error: " << GbkToUtf8Lossy(report.error) << "\n";
    return kExitFailure;
  }
  if (!report.confirmed) {
    context.out << "\nThe uninstall of \"" << GbkToUtf8Lossy(report.productName)
                << "\" was declined; nothing was removed.\n";
    return kExitOk;
  }
  PrintItems(report, context.out);
  if (sandbox.FileExists(program)) {
    context.out << "\nThe uninstaller program " << GbkToUtf8Lossy(program)
                << " stays: removing its own file after it ends is the Windows program's part.\n";
  }
  context.out << "\nSandbox: " << sandbox.root().string() << "\n";
  return kExitOk;
}

}  // namespace

const Command& UninstallCommand() {
  static const Command command{
      "uninstall", "run a product's uninstall on a simulated Windows machine",
      "UNINSTALLER --root DIR [--answers FILE]\n\n"
      "Carries out, in the sandbox rooted at DIR, the uninstall of the uninstaller program\n"
      "UNINSTALLER (its Windows path, as the Uninstall registration's UninstallString gives\n"
      "it): reads Ins.log beside it, asks whether to remove the product, removes in reverse\n"
      "order what the log names to remove, then the Uninstall registration, Ins.log and its\n"
      "folder when empty; offers to remove at the next restart what could not go now. The\n"
      "questions are answered from --answers FILE ({\"answers\": [\"yes\", \"no\"],\n"
      "\"default\": \"no\"}) or the machine's default answer, which is No. Prints the\n"
      "questions and every item with what became of it.\n",
      &Run};
  return command;
}

}  // namespace tool
