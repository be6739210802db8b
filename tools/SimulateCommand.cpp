// simulate SETUP --root DIR: one setup run on a simulated Windows machine, as the no-options
// install window performs it: load the package, unpack the page resources, install, open the
// application and readme when asked, offer the restart, delete the temporary files. Prints the
// steps and files as they happen (with a progress bar on a terminal), then what the run left
// on the machine: Ins.log, the Uninstall registration and the journal of the simulated shell.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "engine/FinishActions.h"
#include "package/Options.h"
#include "package/PackageBounds.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/SystemHelpers.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/Answers.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"
#include "tools/SimulateReport.h"
#include "tools/ToolText.h"

namespace tool {
namespace {

namespace fs = std::filesystem;
using sys::sandbox::SandboxPlatform;

// Status lines and installed files as they are reported; on a terminal a bar below them.
class ProgressPrinter {
 public:
  ProgressPrinter(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
  ~ProgressPrinter() { ClearBar(); }

  void Report(const std::string& fileName, const std::string& hint, int64_t position, int64_t max) {
    ClearBar();
    if (position < 0) {
      out_ << "== " << GbkToUtf8Lossy(hint) << "\n";
    } else {
      out_ << "   " << GbkToUtf8Lossy(fileName) << "\n";
      position_ = position;
      max_ = max;
    }
    DrawBar();
  }

 private:
  void DrawBar() {
    if (!terminal_ || max_ <= 0) return;
    constexpr int kWidth = 40;
    int filled = static_cast<int>(kWidth * position_ / max_);
    out_ << "[" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
         << position_ << "/" << max_ << std::flush;
    barShown_ = true;
  }
  void ClearBar() {
    if (barShown_) out_ << "\r\033[K";
    barShown_ = false;
  }

  std::ostream& out_;
  bool terminal_;
  bool barShown_ = false;
  int64_t position_ = 0;
  int64_t max_ = 0;
};

// Puts the setup program where the simulated user started it from, as the running program.
std::string PlaceSetupProgram(SandboxPlatform& sandbox, const fs::path& setup) {
  std::string exePath = sys::ExtractFilePath(sandbox.ExePath()) +
                        sys::sandbox::Utf8ToGbk(setup.filename().string());
  sandbox.SetExePath(exePath, 1);
  auto host = sandbox.HostPath(exePath);
  if (!host) throw Failure("the sandbox cannot hold " + GbkToUtf8Lossy(exePath));
  std::error_code ec;
  fs::create_directories(host->parent_path(), ec);
  fs::remove(*host, ec);
  fs::create_hard_link(setup, *host, ec);
  if (ec) fs::copy_file(setup, *host, fs::copy_options::overwrite_existing);
  return exePath;
}

void RunSetup(SandboxPlatform& sandbox, const std::string& exePath, ProgressPrinter& printer,
              std::ostream& out, std::string& serial) {
  TCompile compile(sandbox);
  ScopedTempFiles cleanup(compile);
  compile.LoadPackage(exePath);
  serial = compile.Serial;
  sys::WizardTitle = "“" + compile.ItemName + "”安装向导";
  out << "Loaded \"" << GbkToUtf8Lossy(compile.ItemName) << "\" " << GbkToUtf8Lossy(compile.Version)
      << ": " << compile.FileList.size() << " entries, " << compile.Size << " bytes to install\n";

  // The page resources are unpacked only when the package carries the loading setting.
  if (const TCompileData* loading = FindBasicSetting(compile, "显示加载进度")) {
    std::unique_ptr<sys::Stream> self = OpenPackage(sandbox, exePath);
    compile.ExtractResources(*self);
    out << "Unpacked " << compile.TempFiles.size() << " page resources into "
        << GbkToUtf8Lossy(sys::GetTempDir()) << (loading->Value == "启用" ? " (with the loading window)" : "")
        << "\n";
  }
  if (compile.Options.ShowWizard && !compile.Patched) {
    out << "The package shows the wizard; it is simulated as the no-options install window.\n";
  }

  compile.OnCompile = [&printer](const std::string& fileName, const std::string& hint,
                                 int64_t position, int64_t max) {
    printer.Report(fileName, hint, position, max);
  };
  compile.Install(exePath);

  OpenChosenFiles(compile);
  OfferRestart(compile);
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"--root", "--os", "--answers"});
  ExpectPositional(args, 1);
  auto root = args.Value("--root");
  if (!root) throw UsageError("--root DIR is required");
  const fs::path setup = args.positional[0];
  if (!fs::is_regular_file(setup)) throw Failure("no setup program at " + setup.string());

  SandboxPlatform sandbox{fs::path(*root)};
  if (auto os = args.Value("--os")) sandbox.SetVersionText(*os);
  if (auto answers = args.Value("--answers")) LoadAnswers(sandbox, *answers);
  const std::string exePath = PlaceSetupProgram(sandbox, setup);
  const size_t journalBefore = sandbox.ReadJournal().size();
  sys::ScopedCurrentPlatform scope(sandbox);

  int status = kExitOk;
  std::string serial;
  {
    bool terminal = &context.out == &std::cout && isatty(STDOUT_FILENO);
    ProgressPrinter printer(context.out, terminal);
    try {
      RunSetup(sandbox, exePath, printer, context.out, serial);
    } catch (const sys::Error& error) {
      context.err << "The setup run ended with an error: " << DescribeError(error) << "\n";
      status = kExitFailure;
    }
  }
  sys::WizardTitle.clear();
  sandbox.Flush();
  PrintSimulationReport(sandbox, serial, journalBefore, context.out);
  return status;
}

}  // namespace

const Command& SimulateCommand() {
  static const Command command{
      "simulate", "run a setup program on a simulated Windows machine",
      "SETUP --root DIR [--os TEXT] [--answers FILE]\n\n"
      "Runs the setup program's install in the sandbox rooted at DIR (created when missing,\n"
      "kept between runs: a second run is a second install on the same machine). The run\n"
      "goes as the no-options install window does it: load the package, unpack the page\n"
      "resources, install, open the application and readme when the package asks, offer\n"
      "the restart, delete the temporary files. --os sets the version text of the machine\n"
      "(\"6.1\", \"5.1\", \"2\", ...). --answers FILE scripts the answers to questions:\n"
      "{\"answers\": [\"yes\", \"no\"], \"default\": \"no\"}.\n\n"
      "DIR/drive_c/... holds the drives, DIR/registry.json the registry, DIR/journal.jsonl\n"
      "what the simulated shell was asked to do, DIR/machine.json the machine.\n",
      &Run};
  return command;
}

}  // namespace tool
