#include "tools/simulation/SimulateSwitches.h"

#include <fstream>
#include <sstream>

#include "app/ProgramBody.h"
#include "app/SetupSession.h"
#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/commands/Commands.h"
#include "tools/simulation/SimulatedPerson.h"
#include "tools/simulation/SimulateReport.h"
#include "tools/simulation/SimulationScript.h"
#include "ui/headless/HeadlessBackend.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

bool StartsWithSwitch(const std::string& word, const char* name) {
  return sys::StartsWithText(word, name);
}

// "/NAME" or "/NAME=value" with no "/" in NAME (a host path such as /tmp/setup.exe is none),
// or the elevated copy's "-1".
bool IsSwitchWord(const std::string& word) {
  if (word == "-1") return true;
  if (word.size() < 2 || word[0] != '/') return false;
  return word.substr(1, word.find('=') == std::string::npos ? std::string::npos : word.find('=') - 1)
             .find('/') == std::string::npos;
}

const char* ExitMeaning(int code) {
  switch (code) {
    case app::kExitSuccess:
      return "installed";
    case app::kExitRestartNeeded:
      return "installed, restart needed";
    case app::kExitCancelled:
      return "cancelled";
    case app::kExitFailed:
      return "failed";
    case 1618: return "another setup of this product is running";
    case 87: return "bad switches or answers file";
    default: return "the elevated copy's code";
  }
}

}  // namespace

std::vector<std::string> TakeSetupSwitches(std::vector<std::string>& args) {
  std::vector<std::string> switches, rest;
  std::string folder;
  for (const std::string& arg : args) {
    if (StartsWithSwitch(arg, "/D=")) {
      folder = arg;
    } else if (IsSwitchWord(arg)) {
      switches.push_back(arg);
    } else {
      rest.push_back(arg);
    }
  }
  if (!folder.empty()) switches.push_back(folder);
  args = rest;
  return switches;
}

int SimulateWithSwitches(sys::sandbox::SandboxPlatform& sandbox, const std::string& exePath,
                         std::vector<std::string> switches, std::ostream& out,
                         std::ostream& err) {
  const std::string folder = sys::ExtractFilePath(exePath);
  fs::path hostLog;
  std::string sandboxLog;
  for (std::string& word : switches) {
    for (const char* name : {"/ANSWERS=", "/LOG="}) {
      if (!StartsWithSwitch(word, name) || word.size() == std::string(name).size()) continue;
      fs::path host = word.substr(std::string(name).size());
      std::string inside = folder + sys::sandbox::Utf8ToGbk(host.filename().string());
      if (std::string(name) == "/LOG=") {
        hostLog = host;
        sandboxLog = inside;
      } else if (fs::is_regular_file(host)) {
        auto target = sandbox.HostPath(inside);
        if (target) fs::copy_file(host, *target, fs::copy_options::overwrite_existing);
      }
      // A missing answers file stays missing inside the sandbox: the run says so.
      word = name + sys::sandbox::GbkToUtf8(inside);
    }
  }
  std::string line;
  for (const std::string& word : switches) line += (line.empty() ? "" : " ") + word;
  sandbox.SetArguments(sys::sandbox::Utf8ToGbk(line));
  const size_t journalBefore = sandbox.ReadJournal().size();

  // A person's run (no /S) is played by simulate's person, pressing Next to the end.
  SimulationScript script = DefaultSimulationScript();
  SimulatedPerson person(script, out);
  ui::HeadlessBackend backend;
  backend.OnIdle = [&person](ui::Form& top) { return person.Act(top); };
  out << "setup.exe " << line << "\n";
  int code = app::RunSetupProgram(sandbox, backend);
  sandbox.Flush();

  if (!sandboxLog.empty()) {
    if (auto host = sandbox.HostPath(sandboxLog); host && fs::is_regular_file(*host)) {
      std::ifstream in(*host, std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      out << "\nThe log (" << hostLog.string() << "):\n" << text.str();
      std::ofstream copy(hostLog, std::ios::binary);
      copy << text.str();
      if (!copy) err << "cannot write the log to " << hostLog.string() << "\n";
    }
  }
  TCompile product(sandbox);
  product.LoadPackage(exePath);
  PrintSimulationReport(sandbox, product.Serial, journalBefore, out);
  out << "\nThe setup program would exit with code " << code << " (" << ExitMeaning(code)
      << ").\n";
  return code == app::kExitSuccess || code == app::kExitRestartNeeded ? kExitOk : kExitFailure;
}

}  // namespace tool
