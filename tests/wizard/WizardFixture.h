// The wizard's forms on the headless backend and a fresh sandbox machine: a package built in
// code is written to the setup program's path (started with a parameter, as the elevated copy
// is), loaded into a project, and the frame or a window is opened on it. The four page classes
// of this program are registered; the six that come later can stand in by name (StandInPage)
// so that the frame's order and buttons are tested over the whole page table.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/InstallRun.h"
#include "package/uSystem.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "system/sandbox/Encoding.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"
#include "ui/Button.h"
#include "ui/Memo.h"
#include "ui/Panel.h"
#include "ui/headless/Automation.h"
#include "ui/headless/HeadlessBackend.h"
#include "wizard/AddonsTaskForm.h"
#include "wizard/BeginInsForm.h"
#include "wizard/EndInsForm.h"
#include "wizard/PageRegistry.h"
#include "wizard/ReadyInsForm.h"
#include "wizard/SetupForm.h"

namespace wizardtest {

inline constexpr const char* kSetupExe = "C:\\Users\\user\\Downloads\\setup.exe";
inline constexpr const char* kInstallDir = "C:\\Apps\\Demo";

// Journal texts are UTF-8; expectations are written as GBK literals.
inline std::string U8(const std::string& gbk) { return sys::sandbox::GbkToUtf8(gbk); }

// The progress receivers process the window's messages on every report; tests watch that.
class WatchedBackend : public ui::HeadlessBackend {
 public:
  std::function<void()> OnProcessMessages;
  void ProcessMessages() override {
    ui::HeadlessBackend::ProcessMessages();
    if (OnProcessMessages) OnProcessMessages();
  }
};

// A page class of a later issue, registered under its real name; the licence page's stand-in
// asks the frame for the licence page's buttons, as the real one does.
class StandInPage : public wizard::PageForm {
 public:
  StandInPage(ui::Backend& backend, const std::string& className)
      : wizard::PageForm(backend, className),
        role_(className == "TfrmProtocol" ? FrameRole::Licence : FrameRole::Ordinary) {
    SetClientSize(508, 294);
  }
  FrameRole Role() const override { return role_; }
  int loads = 0;

 protected:
  void LoadSettings() override { ++loads; }

 private:
  FrameRole role_;
};

inline const std::vector<std::string>& LaterPageClasses() {
  static const std::vector<std::string> names = {"TfrmFist",         "TfrmProtocol",
                                                 "TfrmSoftExplaion", "TfrmStartFolder",
                                                 "TfrmSelComponent", "TfrmSelectInstallDir"};
  return names;
}

class WizardTest : public testing::Test {
 protected:
  WizardTest() {
    platform().SetExePath(kSetupExe, 1);
    wizard::RegisterForm<TfrmAddonsTask>();
    wizard::RegisterForm<TfrmReadyIns>();
    wizard::RegisterForm<TfrmBeginIns>();
    wizard::RegisterForm<TfrmEndIns>();
    builder.Setting("项目名称", "演示");
    builder.Setting("默认安装路径", kInstallDir, 8);
    builder.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\", "MZ app");
    builder.AddFile("X:\\src\\readme.txt", "目标计算机\\Program Files\\", "readme");
  }
  ~WizardTest() override {
    for (const char* name : {"TfrmAddonsTask", "TfrmReadyIns", "TfrmBeginIns", "TfrmEndIns"}) {
      wizard::UnregisterPageClass(name);
    }
    for (const auto& name : LaterPageClasses()) wizard::UnregisterPageClass(name);
    BackgroundMusicFile.clear();
    sys::WizardTitle.clear();
  }

  sys::sandbox::SandboxPlatform& platform() { return host.platform(); }

  void RegisterStandIns() {
    for (const auto& name : LaterPageClasses()) {
      wizard::RegisterPageClass(name, [name](ui::Backend& backend) -> std::unique_ptr<wizard::PageForm> {
        return std::make_unique<StandInPage>(backend, name);
      });
    }
  }
  // Page switches (group 1) in the order given, each "启用".
  void EnablePages(std::initializer_list<const char*> names) {
    for (const char* name : names) builder.Setting(name, "启用", 1);
  }
  // The four pages of this program.
  void EnableLastPages() { EnablePages({"附加任务", "确认安装", "安装进程", "安装完毕"}); }

  TCompile& Load() {
    builder.WriteTo(platform(), kSetupExe);
    compile = std::make_unique<TCompile>(platform(), &engine::RunInstall);
    compile->LoadPackage(kSetupExe);
    sys::WizardTitle = "“" + compile->ItemName + "”安装向导";
    return *compile;
  }
  // The frame, shown (its pages built and the first one current) but not in a modal loop.
  TfrmParent& OpenFrame() {
    if (!compile) Load();
    frame = std::make_unique<TfrmParent>(backend);
    frame->SetCompile(*compile);
    frame->Show();
    return *frame;
  }
  std::string Current() const {
    wizard::PageForm* page = frame->CurrentPage();
    return page ? page->ClassName() : std::string();
  }
  void Next() { ui::ClickButton(*frame, "bNext"); }
  // Next until the page of that class is current.
  void WalkTo(const std::string& pageClass) {
    for (int i = 0; i < 10 && Current() != pageClass; ++i) Next();
    ASSERT_EQ(Current(), pageClass);
  }
  template <class T>
  T& Page() {
    for (wizard::PageForm* page : frame->Pages()) {
      if (page->ClassName() == T::kClassName) return static_cast<T&>(*page);
    }
    throw std::runtime_error(std::string("no page ") + T::kClassName);
  }

  std::vector<nlohmann::json> Journal(const std::string& op) {
    std::vector<nlohmann::json> lines;
    for (auto& line : host.Journal()) {
      if (line["op"] == op) lines.push_back(line);
    }
    return lines;
  }
  std::vector<std::string> Ops() {
    std::vector<std::string> ops;
    for (auto& line : host.Journal()) ops.push_back(line["op"]);
    return ops;
  }
  void Answers(std::vector<int> answers, int fallback = sys::kIdNo) {
    platform().SetAnswers(std::move(answers), fallback);
  }

  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current{host.platform()};
  testsupport::PackageBuilder builder;
  WatchedBackend backend;
  std::unique_ptr<TCompile> compile;
  std::unique_ptr<TfrmParent> frame;
};

}  // namespace wizardtest
