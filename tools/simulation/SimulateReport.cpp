#include "tools/simulation/SimulateReport.h"

#include "package/UninstallRegistration.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tools/host/ToolText.h"
#include "tools/reading/InsLogJson.h"
#include "undo/uUnInstall.h"

namespace tool {
namespace {

// The registration's values; the uninstaller's path, which places Ins.log, comes back.
std::string PrintRegistration(sys::Platform& platform, const std::string& serial,
                              std::ostream& out) {
  const std::string key = package::UninstallKeyPath(serial);
  if (serial.empty() || !platform.KeyExists(sys::kHkeyLocalMachine, key)) {
    out << "\nNo Uninstall registration.\n";
    return {};
  }
  out << "\nUninstall registration HKEY_LOCAL_MACHINE" << GbkToUtf8Lossy(key) << "\n";
  std::unique_ptr<sys::RegistryKey> opened = platform.OpenKey(sys::kHkeyLocalMachine, key, false);
  std::string uninstaller;
  for (const char* name : package::kUninstallRegistrationValues) {
    auto value = opened ? opened->QueryValue(name) : std::nullopt;
    if (!value) continue;
    out << "  " << name << " = " << GbkToUtf8Lossy(value->data) << "\n";
    if (std::string(name) == "UninstallString") uninstaller = sys::UnquotedPath(value->data);
  }
  return uninstaller;
}

void PrintLog(sys::Platform& platform, const std::string& uninstaller, std::ostream& out) {
  const std::string logFile = uninstaller.empty() ? "Ins.log" : sys::ExtractFilePath(uninstaller) + "Ins.log";
  if (!platform.FileExists(logFile)) {
    out << "\nNo uninstall log at " << GbkToUtf8Lossy(logFile) << ".\n";
    return;
  }
  TUnInstall log(platform);
  log.LoadFromFile(logFile);
  out << "\nUninstall log " << GbkToUtf8Lossy(logFile) << ": " << log.Items().size() << " items\n";
  const nlohmann::ordered_json json = InsLogToJson(log);
  for (const auto& item : json["items"]) {
    std::string line = "  " + item["kind"].get<std::string>() + "  ";
    if (item.contains("root")) line += item["root"].get<std::string>() + "\\";
    line += item["path"].get<std::string>();
    if (item.contains("valueName") && !item["valueName"].get<std::string>().empty()) {
      line += "  [" + item["valueName"].get<std::string>() + "]";
    }
    if (!item["remove"].get<bool>()) line += "  (kept on uninstall)";
    out << line << "\n";
  }
}

std::string Field(const nlohmann::json& line, const char* name) {
  return line.contains(name) ? line[name].get<std::string>() : std::string();
}

}  // namespace

void PrintJournal(const sys::sandbox::SandboxPlatform& sandbox, size_t journalBefore,
                  std::ostream& out) {
  std::vector<nlohmann::json> journal = sandbox.ReadJournal();
  out << "\nThe simulated shell was asked to:\n";
  if (journal.size() <= journalBefore) out << "  (nothing)\n";
  for (size_t i = journalBefore; i < journal.size(); ++i) {
    const nlohmann::json& line = journal[i];
    const std::string op = Field(line, "op");
    if (op == "run") {
      out << "  run " << Field(line, "commandLine") << "\n";
    } else if (op == "shellRun" || op == "shellRunAndWait") {
      out << "  " << (op == "shellRun" ? "open" : "start and wait for") << " ["
          << (Field(line, "verb").empty() ? "default" : Field(line, "verb")) << "] "
          << Field(line, "file") << (Field(line, "parameters").empty() ? "" : " " + Field(line, "parameters"))
          << "\n";
    } else if (op == "messageBox") {
      out << "  ask \"" << Field(line, "text") << "\" -> "
          << (line.value("answer", 0) == sys::kIdYes ? "Yes" : line.value("answer", 0) == sys::kIdNo ? "No" : "OK")
          << "\n";
    } else if (op == "removeAtRestart") {
      out << "  remove at the next restart " << Field(line, "path") << "\n";
    } else if (op == "shellVerb") {
      out << "  carry out \"" << Field(line, "verb") << "\" on " << Field(line, "path") << "\n";
    } else {
      out << "  " << line.dump() << "\n";
    }
  }
}

void PrintSimulationReport(sys::sandbox::SandboxPlatform& sandbox, const std::string& serial,
                           size_t journalBefore, std::ostream& out) {
  try {
    std::string uninstaller = PrintRegistration(sandbox, serial, out);
    PrintLog(sandbox, uninstaller, out);
  } catch (const sys::Error& error) {
    out << "The uninstall data cannot be read: " << DescribeError(error) << "\n";
  }
  PrintJournal(sandbox, journalBefore, out);
  out << "\nSandbox: " << sandbox.root().string() << "\n";
}

}  // namespace tool
