// The program body and TInstall on a fresh sandbox machine and the headless backend: a package
// built in code is written to the setup program's path, the person in front of the windows
// records which window opens and closes the wizard.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "system/Platform.h"
#include "system/sandbox/Encoding.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"
#include "ui/Form.h"
#include "ui/headless/Automation.h"
#include "ui/headless/HeadlessBackend.h"

namespace apptest {

inline constexpr const char* kSetupExe = "C:\\Users\\user\\Downloads\\setup.exe";

inline std::string U8(const std::string& gbk) { return sys::sandbox::GbkToUtf8(gbk); }

class AppTest : public testing::Test {
 protected:
  AppTest() {
    builder.Setting("项目名称", "演示");
    builder.Setting("默认安装路径", "C:\\Apps\\Demo", 8);
    builder.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\", "MZ app");
    // The person: notes each window the first time it waits, answers Yes to leaving the
    // wizard, and otherwise lets the windows' timers run.
    backend.OnIdle = [this](ui::Form& top) {
      if (windows.empty() || windows.back() != top.ClassName()) windows.push_back(top.ClassName());
      if (top.ClassName() == "TfrmParent" && top.Visible()) {
        platform().SetAnswers({sys::kIdYes});
        ui::CloseForm(top);
        return true;
      }
      return false;
    };
  }

  sys::sandbox::SandboxPlatform& platform() { return host.platform(); }
  // Writes the package as the setup program, started with paramCount parameters.
  void WriteSetup(int paramCount = 1) {
    builder.WriteTo(platform(), kSetupExe);
    platform().SetExePath(kSetupExe, paramCount);
  }
  std::vector<nlohmann::json> Journal(const std::string& op) {
    std::vector<nlohmann::json> lines;
    for (auto& line : host.Journal()) {
      if (line["op"] == op) lines.push_back(line);
    }
    return lines;
  }
  bool Installed() { return platform().FileExists("C:\\Apps\\Demo\\app.exe"); }

  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current{host.platform()};
  testsupport::PackageBuilder builder;
  ui::HeadlessBackend backend;
  std::vector<std::string> windows;
};

}  // namespace apptest
