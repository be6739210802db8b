// simulate SETUP --root DIR: one setup run on a simulated Windows machine, as the elevated copy
// of the setup program performs it: TInstall::Execute with its windows on the headless backend
// and a simulated person in front of them (scripted by --answers). Prints every window and
// page as the person sees it, what the person does, the install's steps and files as they are
// reported (with a progress bar on a terminal), then what the run left on the machine:
// Ins.log, the Uninstall registration and the journal of the simulated shell.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <iostream>

#include "app/PageClasses.h"
#include "app/uInstall.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/commands/HostFiles.h"
#include "tools/commands/ProgressMeter.h"
#include "tools/host/ToolText.h"
#include "tools/simulation/ComponentWatch.h"
#include "tools/simulation/SimulatedPerson.h"
#include "tools/simulation/SimulateReport.h"
#include "tools/simulation/SimulateSwitches.h"
#include "tools/simulation/SimulationScript.h"
#include "ui/headless/Automation.h"
#include "ui/headless/HeadlessBackend.h"
#include "wizard/SetupErrors.h"

namespace tool {
namespace {

namespace fs = std::filesystem;
using sys::sandbox::SandboxPlatform;

// Status lines and installed files as they are reported; on a terminal a bar below them that
// counts bytes: the install reports each file entry by its index (position - 1), and the
// package says how big each one is.
class ProgressPrinter {
 public:
  ProgressPrinter(std::ostream& out, bool terminal, ProgressObserver observer)
      : out_(out), terminal_(terminal), observer_(std::move(observer)) {}
  ~ProgressPrinter() { Pause(); }

  void Report(const TCompile& compile, const std::string& fileName, const std::string& hint,
              int64_t position) {
    Pause();
    if (position < 0) {
      out_ << "== " << GbkToUtf8Lossy(hint) << "\n";
    } else {
      out_ << "   " << GbkToUtf8Lossy(fileName) << "\n";
      Meter(compile).Advance(EntryBytes(compile, position - 1));
    }
    if (meter_) meter_->Redraw();
  }

  // Takes the bar off the terminal, so that other output can follow.
  void Pause() {
    if (meter_) meter_->Clear();
  }

 private:
  static int64_t EntryBytes(const TCompile& compile, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(compile.FileList.size())) return 0;
    const TCompileFileData& entry = *compile.FileList[static_cast<size_t>(index)];
    return entry.EntryKind == package::kEntryFile ? entry.FileSize : 0;
  }

  // Made at the first file, when the package is loaded and its files' bytes are known.
  ProgressMeter& Meter(const TCompile& compile) {
    if (!meter_) {
      int64_t total = 0;
      for (size_t i = 0; i < compile.FileList.size(); ++i) {
        total += EntryBytes(compile, static_cast<int64_t>(i));
      }
      meter_ = std::make_unique<ProgressMeter>(out_, terminal_, total, observer_);
    }
    return *meter_;
  }

  std::ostream& out_;
  bool terminal_;
  ProgressObserver observer_;
  std::unique_ptr<ProgressMeter> meter_;
};

// Puts the setup program where the simulated user started it from, as the running program,
// under the file name fileName.
std::string PlaceSetupProgram(SandboxPlatform& sandbox, const fs::path& setup,
                              const std::string& fileName) {
  std::string exePath = sys::ExtractFilePath(sandbox.ExePath()) + sys::sandbox::Utf8ToGbk(fileName);
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

// The headless backend, watching the progress: every report of the install run lets the
// window process its messages, which is where the printer is put in front of the window's own
// progress receiver (the window installs its receiver just before the run).
class SimulationBackend : public ui::HeadlessBackend {
 public:
  std::function<void()> OnProcessMessages;
  void ProcessMessages() override {
    ui::HeadlessBackend::ProcessMessages();
    if (OnProcessMessages) OnProcessMessages();
  }
};

// Passes each report to the printer, then to the window's receiver.
struct PrintingReceiver {
  ProgressPrinter* printer;
  const TCompile* compile;
  TCompileProEvent window;
  void operator()(const std::string& fileName, const std::string& hint, int64_t position,
                  int64_t max) const {
    printer->Report(*compile, fileName, hint, position);
    if (window) window(fileName, hint, position, max);
  }
};

void WatchProgress(TCompile& compile, ProgressPrinter& printer) {
  if (compile.OnCompile && compile.OnCompile.target<PrintingReceiver>() == nullptr) {
    compile.OnCompile = PrintingReceiver{&printer, &compile, std::move(compile.OnCompile)};
  }
}

// The window layer's reporter during the run: the setup's errors are shown in their message
// box and counted, as in the real program; a step the scripted person cannot take is no error
// of the setup and goes on up to end the simulation.
class SimulationReporter {
 public:
  SimulationReporter() {
    ui::SetErrorReporter([this](const std::exception& error) {
      if (auto* stuck = dynamic_cast<const ui::AutomationError*>(&error)) throw *stuck;
      if (dynamic_cast<const sys::Abort*>(&error)) return;
      ++reported_;
      wizard::ReportSetupError(error);
    });
  }
  ~SimulationReporter() { ui::SetErrorReporter(nullptr); }
  SimulationReporter(const SimulationReporter&) = delete;
  SimulationReporter& operator=(const SimulationReporter&) = delete;
  int Reported() const { return reported_; }

 private:
  int reported_ = 0;
};

// The setup run the elevated copy performs: TInstall::Execute with its windows on the headless
// backend, the simulated person in front of them. True when no error ended it.
struct SetupOutcome {
  bool ok = true;
  std::string serial;                   // GBK
  std::vector<std::string> components;  // GBK names of the package's component packages
};

SetupOutcome RunSetup(SandboxPlatform& sandbox, const SimulationScript& script,
                      ProgressPrinter& printer, std::ostream& out, std::ostream& err) {
  app::ScopedPageClasses pageClasses;
  SimulationReporter reporter;
  SimulationBackend backend;
  SimulatedPerson person(script, out);
  TInstall install(sandbox);
  // A window is printed as it rests in front of the person: when the person is about to act
  // (and it differs from what was printed last) or the install reports progress; pages built
  // behind the current one are not printed.
  std::string shown, printed;
  auto print = [&](const std::string& rendering) {
    if (rendering.empty() || rendering == printed) return;
    printer.Pause();
    out << "\n" << GbkToUtf8Lossy(rendering) << "\n";
    printed = rendering;
  };
  backend.OnRender = [&](const std::string& rendering) { shown = rendering; };
  // The message boxes a step brought up, with the answer they got.
  size_t journalSeen = sandbox.ReadJournal().size();
  auto printBoxes = [&] {
    std::vector<nlohmann::json> journal = sandbox.ReadJournal();
    for (size_t i = journalSeen; i < journal.size(); ++i) {
      if (journal[i].value("op", "") != "messageBox") continue;
      int answer = journal[i].value("answer", 0);
      out << "  [" << journal[i].value("caption", "") << "] " << journal[i].value("text", "")
          << " -> " << (answer == sys::kIdYes ? "Yes" : answer == sys::kIdNo ? "No" : "OK") << "\n";
    }
    journalSeen = journal.size();
  };
  backend.OnIdle = [&](ui::Form& top) {
    shown.clear();
    print(ui::RenderForm(top));
    WatchProgress(install.Compile(), printer);
    bool acted = person.Act(top);
    printBoxes();
    return acted;
  };
  backend.OnProcessMessages = [&] {
    print(shown);
    shown.clear();
    WatchProgress(install.Compile(), printer);
  };

  SetupOutcome outcome;
  bool& ok = outcome.ok;
  try {
    install.Execute(backend);
  } catch (const ui::AutomationError& error) {
    // The script asked for something no person could do; the run itself did not fail.
    printer.Pause();
    err << "The simulated person could not go on: " << GbkToUtf8Lossy(error.what()) << "\n";
    ok = false;
  } catch (const std::exception& error) {
    printer.Pause();
    err << "The setup run ended with an error: " << DescribeError(error) << "\n";
    wizard::ReportSetupError(error);
    ok = false;
  }
  printer.Pause();
  printBoxes();
  outcome.serial = install.Compile().Serial;
  for (const auto& component : install.Compile().CompList) {
    outcome.components.push_back(component->CompName);
  }
  if (reporter.Reported() > 0) {
    err << "The setup run ended with an error (reported in a message box).\n";
    ok = false;
  }
  // A script that was not played out proves nothing: the run it meant did not happen.
  if (!script.cancelOn.empty() && !person.CancelledAsScripted()) {
    err << "cancelOn: the page " << script.cancelOn
        << " never showed, so Cancel was never pressed there\n";
    ok = false;
  }
  for (const auto& [page, settings] : script.pages) {
    if (!person.Saw(page)) err << "note: the page " << page << " never showed; its settings were not used\n";
  }
  out << "\nThe setup run " << (ok ? "ended" : "failed") << "; its temporary files are deleted.\n";
  return outcome;
}

int Run(CommandContext& context) {
  std::vector<std::string> switches = TakeSetupSwitches(context.args);
  ParsedArgs args = ParseArgs(context.args, {"--root", "--os", "--answers"});
  ExpectPositional(args, 1);
  auto root = args.Value("--root");
  if (!root) throw UsageError("--root DIR is required");
  auto answers = args.Value("--answers");
  ExpectOneStandardInput({&args.positional[0], answers ? &*answers : nullptr});
  InputFile input(args.positional[0]);
  const fs::path setup = input.path();
  if (!fs::is_regular_file(setup)) throw Failure("no setup program at " + input.name());
  SimulationScript script = DefaultSimulationScript();
  if (answers) script = LoadSimulationScript(*answers);

  ComponentWatch sandbox{fs::path(*root)};
  if (auto os = args.Value("--os")) sandbox.SetVersionText(*os);
  sandbox.SetAnswers(script.answers, script.defaultAnswer);
  const std::string exePath = PlaceSetupProgram(
      sandbox, setup, input.fromStandardInput() ? "setup.exe" : setup.filename().string());
  if (!switches.empty()) {
    if (args.Value("--answers")) throw UsageError("with switches, give /ANSWERS=FILE instead");
    sys::ScopedCurrentPlatform scope(sandbox);
    return SimulateWithSwitches(sandbox, exePath, switches, context.out, context.err);
  }
  const size_t journalBefore = sandbox.ReadJournal().size();
  sys::ScopedCurrentPlatform scope(sandbox);

  SetupOutcome outcome;
  {
    ProgressPrinter printer(context.out, context.ShowsProgress(context.out),
                            context.progressObserver);
    outcome = RunSetup(sandbox, script, printer, context.out, context.err);
  }
  sandbox.Flush();
  PrintComponentReport(outcome.components, sandbox, context.out);
  PrintSimulationReport(sandbox, outcome.serial, journalBefore, context.out);
  return outcome.ok ? kExitOk : kExitFailure;
}

}  // namespace

const Command& SimulateCommand() {
  static const Command command{
      "simulate", "run a setup program on a simulated Windows machine",
      "SETUP --root DIR [--os TEXT] [--answers FILE]\n\n"
      "Runs the setup program in the sandbox rooted at DIR (created when missing, kept\n"
      "between runs: a second run is a second install on the same machine), as its elevated\n"
      "copy does: load the package, unpack the page resources, open the loading window, the\n"
      "no-options install window, the background window or the wizard, install from there,\n"
      "delete the temporary files. Every window and page is printed as a person sees it, with\n"
      "what the person does. The person presses Next on every page (Finish on the last).\n"
      "--os sets the version text of the machine (\"6.1\", \"5.1\", \"2\", ...).\n"
      "--answers FILE scripts the person:\n"
      "  {\"pages\": {\"TfrmAddonsTask\": {\"CheckBox1\": false}},\n"
      "   \"cancelOn\": \"TfrmReadyIns\", \"answers\": [\"no\", \"yes\"], \"default\": \"no\"}\n"
      "When a page under \"pages\" first shows, its controls are brought to the given state\n"
      "(true/false clicks a check box, a text is typed into an edit) before Next; \"cancelOn\"\n"
      "presses Cancel once on that page instead; question boxes take \"answers\" in order,\n"
      "then \"default\" (\"no\" unless given). A plain list of answers works too.\n"
      "The setup program's own switches (/S, /D=FOLDER, /ANSWERS=FILE, /LOG=FILE,\n"
      "/NORESTART) play the run it starts with them, as an administrator's deployment\n"
      "runs it: the log and what the run left are printed with the exit code the setup\n"
      "program would end with (0 installed, 3010 restart needed, 1602 cancelled, 1603\n"
      "failed, 1618 another setup running, 87 bad switches); FILE is a host file.\n"
      "SETUP \"-\" reads the setup program from standard input (run as setup.exe). On a\n"
      "terminal a bar below the installed files counts their bytes, with the rate.\n"
      "Exit code 0 when the run ends without an error (a cancelled wizard included), 1 when\n"
      "an error ends it.\n\n"
      "DIR/drive_c/... holds the drives, DIR/registry.json the registry, DIR/journal.jsonl\n"
      "what the simulated shell was asked to do, DIR/machine.json the machine.\n",
      &Run};
  return command;
}

}  // namespace tool
