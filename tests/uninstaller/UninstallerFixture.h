// The arrangement of the uninstaller tests: a sandbox machine with a small product installed by
// hand and recorded through the real recorder (so the log is what an install run writes), a
// scripted stand-in for the dialogs that records what was asked, and a snapshot of the machine
// (every file and folder of the drives, the whole registry) to prove what did not change.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/host/SandboxHost.h"
#include "undo/uUnInstall.h"
#include "uninstaller/UninstallDialogs.h"
#include "uninstaller/Uninstaller.h"

namespace uninsttest {

class ScriptedDialogs : public uninst::UninstallDialogs {
 public:
  bool confirm = true;
  bool removeAtRestart = false;

  std::vector<std::string> confirmed;               // product names asked about
  std::vector<std::vector<std::string>> restartAsks;  // the files each restart question named
  std::vector<std::pair<size_t, size_t>> progress;  // done, total
  std::optional<uninst::UninstallReport> outcome;
  std::vector<std::string> errors;

  bool ConfirmUninstall(const std::string& productName) override {
    confirmed.push_back(productName);
    return confirm;
  }
  bool ConfirmRemoveAtRestart(const std::string&, const std::vector<std::string>& files) override {
    restartAsks.push_back(files);
    return removeAtRestart;
  }
  void Progress(const std::string&, size_t done, size_t total) override {
    progress.emplace_back(done, total);
  }
  void ShowOutcome(const uninst::UninstallReport& report) override { outcome = report; }
  void ShowError(const std::string&, const std::string& message) override {
    errors.push_back(message);
  }
};

// The machine below a sandbox root, one entry per thing: every folder of the drives (host path
// + "/"), every file (host path, content), every registry key ("HKEY_...\\path\\") and value
// ("HKEY_...\\path [name]", its JSON). registry.json must be saved.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> state;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string relative = fs::relative(entry.path(), root).string();
    if (!relative.starts_with("drive_")) continue;
    if (entry.is_directory()) {
      state[relative + "/"] = "";
    } else {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      state[relative] = std::move(bytes).str();
    }
  }
  std::ifstream in(root / "registry.json", std::ios::binary);
  const nlohmann::json registry = nlohmann::json::parse(in);
  for (const auto& [rootName, keys] : registry.items()) {
    for (const auto& [path, values] : keys.items()) {
      const std::string key = rootName + "\\" + path;
      state[key + "\\"] = "";
      for (const auto& [name, value] : values.items()) state[key + " [" + name + "]"] = value.dump();
    }
  }
  return state;
}

inline std::map<std::string, std::string> Snapshot(testsupport::SandboxHost& host) {
  host.platform().Flush();
  return Snapshot(host.root());
}

// What differs between two snapshots: "+ name" added, "- name" gone, "* name" changed.
inline std::vector<std::string> Differences(const std::map<std::string, std::string>& before,
                                           const std::map<std::string, std::string>& after) {
  std::vector<std::string> lines;
  for (const auto& [name, content] : after) {
    auto it = before.find(name);
    if (it == before.end()) {
      lines.push_back("+ " + name);
    } else if (it->second != content) {
      lines.push_back("* " + name);
    }
  }
  for (const auto& [name, content] : before) {
    if (!after.contains(name)) lines.push_back("- " + name);
  }
  return lines;
}

inline constexpr const char* kLog = "C:\\App\\Ins.log";
inline constexpr const char* kSerial = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}";

class UninstallerTest : public ::testing::Test {
 protected:
  sys::sandbox::SandboxPlatform& platform() { return host.platform(); }

  // The product: C:\App with a program, a settings file kept on uninstall, a library in a
  // subfolder, a shortcut folder with a link, a key with values under HKLM, a value under a key
  // created in HKCU, and the registration; all recorded in the order an install run records.
  void InstallProduct() {
    TUnInstall log(platform());
    log.SetItemName("小工具");
    log.SetSerial(kSerial);
    log.ForceDir("C:\\App\\Sub");
    WriteInstalled(log, "C:\\App\\tool.exe", 1);
    WriteInstalled(log, "C:\\App\\keep.ini", 0);
    WriteInstalled(log, "C:\\App\\Sub\\core.dll", 1);
    log.ForceDir("C:\\Menu\\小工具");
    WriteInstalled(log, "C:\\Menu\\小工具\\小工具.lnk", 1);
    log.ForceRegKey("Software\\Tool", sys::kHkeyLocalMachine);
    SetValue(log, sys::kHkeyLocalMachine, "Software\\Tool", "Path");
    SetValue(log, sys::kHkeyLocalMachine, "Software\\Tool", "");
    log.ForceRegKey("Software\\Tool\\Options", sys::kHkeyCurrentUser);
    SetValue(log, sys::kHkeyCurrentUser, "Software\\Tool\\Options", "语言");
    log.WriteUninstallEntry("C:\\App\\uninst.exe", "小工具", "1.0", "http://x/", "作者", kSerial,
                            "C:\\App");
    log.SaveToFile(kLog);
  }

  void WriteInstalled(TUnInstall& log, const std::string& path, uint8_t remove) {
    host.WriteFile(path, "installed " + path);
    platform().ForgetHostListings();
    log.AddFile(path, remove);
  }

  void SetValue(TUnInstall& log, sys::RegRoot root, const std::string& key, const std::string& name) {
    platform().OpenKey(root, key, true)->WriteString(name, "data of " + name);
    log.AddRegValue(std::to_string(root), key, name);
  }

  uninst::UninstallReport Uninstall() { return uninst::RunUninstall(platform(), kLog, dialogs); }

  bool Exists(const std::string& path) { return platform().FileExists(path); }
  bool Folder(const std::string& path) { return platform().DirectoryExists(path); }
  bool Key(sys::RegRoot root, const std::string& key) { return platform().KeyExists(root, key); }
  bool Value(sys::RegRoot root, const std::string& key, const std::string& name) {
    auto opened = platform().OpenKey(root, key, false);
    return opened && opened->QueryValue(name).has_value();
  }
  std::vector<nlohmann::json> Journal(const std::string& op) {
    std::vector<nlohmann::json> lines;
    for (auto& line : host.Journal())
      if (line["op"] == op) lines.push_back(line);
    return lines;
  }

  testsupport::SandboxHost host;
  ScriptedDialogs dialogs;
};

}  // namespace uninsttest
