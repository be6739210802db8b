// The loading, background and no-options install windows, each shown modally on the headless
// backend: their timers, progress receivers, close rules and what they do after a failure.
#include <gtest/gtest.h>

#include "system/Error.h"
#include "tests/wizard/WizardFixture.h"
#include "ui/Gauge.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"
#include "wizard/BackInsForm.h"
#include "wizard/InitInsForm.h"
#include "wizard/InstallForm.h"

namespace wizardtest {
namespace {

using LoadingWindow = WizardTest;

TEST_F(LoadingWindow, UnpacksAfterOneSecondWithOneStepPerEntryAndClosesWithOk) {
  builder.AddResource("X:\\res\\title.bmp", "BM title");
  builder.AddResource("X:\\res\\licence.txt", "licence");
  Load();
  TfrmInitIns window(backend);
  window.SetCompile(*compile);
  backend.OnIdle = [&](ui::Form&) { return false; };
  EXPECT_EQ(window.ShowModal(), ui::kMrOk);
  EXPECT_EQ(backend.Now(), 1000);
  EXPECT_EQ(window.Tag(), 1);
  EXPECT_FALSE(window.Failure());
  EXPECT_EQ(window.pRelease->Max(), 4) << "one step per FileList entry";
  EXPECT_EQ(window.pRelease->Position(), 4);
  EXPECT_EQ(compile->TempFiles.size(), 2u);
  compile->ClearTempFiles();
}

TEST_F(LoadingWindow, ReleaseProgressSetsTheBarFromEachCall) {
  Load();
  TfrmInitIns window(backend);
  window.ReleaseProgress(1, 3);
  EXPECT_EQ(window.pRelease->Max(), 3);
  EXPECT_EQ(window.pRelease->Position(), 1);
  window.ReleaseProgress(3, 3);
  EXPECT_EQ(window.pRelease->Position(), 3);
}

TEST_F(LoadingWindow, APackageWithoutEntriesClosesAfterTheDelayWithTheBarUnmoved) {
  testsupport::PackageBuilder empty;
  empty.Setting("项目名称", "空");
  empty.WriteTo(platform(), kSetupExe);
  compile = std::make_unique<TCompile>(platform());
  compile->LoadPackage(kSetupExe);
  TfrmInitIns window(backend);
  window.SetCompile(*compile);
  backend.OnIdle = [&](ui::Form&) { return false; };
  EXPECT_EQ(window.ShowModal(), ui::kMrOk);
  EXPECT_EQ(backend.Now(), 1000);
  EXPECT_EQ(window.pRelease->Position(), 0);
}

TEST_F(LoadingWindow, ThePersonCannotCloseItWhileItWorks) {
  Load();
  TfrmInitIns window(backend);
  window.SetCompile(*compile);
  int attempts = 0;
  backend.OnIdle = [&](ui::Form& top) {
    if (attempts++ > 0) return false;
    ui::CloseForm(top);
    EXPECT_TRUE(top.Visible());
    return true;
  };
  EXPECT_EQ(window.ShowModal(), ui::kMrOk);
  EXPECT_EQ(attempts, 2);
}

TEST_F(LoadingWindow, ADamagedPackageEndsTheWindowAndHandsOverTheError) {
  testsupport::PackageBuilder damaged;
  damaged.AddResource("X:\\res\\title.bmp", std::string(30000, 'x'));
  std::string bytes = damaged.Build();
  // The resource's first chunk starts behind the stub and the reserved bytes; break its zlib
  // header.
  bytes[512 + 8 + 4] = 0;
  host.WriteFile(kSetupExe, bytes);
  compile = std::make_unique<TCompile>(platform());
  compile->LoadPackage(kSetupExe);
  TfrmInitIns window(backend);
  window.SetCompile(*compile);
  backend.OnIdle = [&](ui::Form&) { return false; };
  EXPECT_EQ(window.ShowModal(), ui::kMrCancel);
  ASSERT_TRUE(window.Failure());
  EXPECT_THROW(std::rethrow_exception(window.Failure()), sys::Error);
  EXPECT_EQ(window.Tag(), 1);
}

using InstallWindow = WizardTest;

TEST_F(InstallWindow, StepMessagesNeverReachTheGauge) {
  Load();
  TfrmInstall window(backend);
  window.SetCompile(*compile);
  EXPECT_EQ(window.Caption(), "正在安装“演示”，请稍候...");
  EXPECT_EQ(window.GetPosition(), ui::Position::ScreenCenter);
  EXPECT_TRUE(window.Timer->Enabled());
  window.CompileProgress("C:\\a.exe", "正在安装文件", 2, 5);
  EXPECT_NO_THROW(window.CompileProgress("", "正在创建安装文件夹，请稍候...", -1, -1));
  EXPECT_EQ(window.Gauge1->MaxValue(), 5);
  EXPECT_EQ(window.Gauge1->Progress(), 2);
  EXPECT_GE(window.Gauge1->MaxValue(), window.Gauge1->MinValue());
}

TEST_F(InstallWindow, InstallsOpensTheChosenFilesAndAsksOnlyAboutTheRestart) {
  builder.Setting("应用程序文件", "X:\\src\\app.exe", 12);
  builder.Setting("安装完成后弹出信息提示", "感谢安装", 0);
  builder.Setting("安装完成后，重启操作系统", "启用", 0);
  Load();
  TfrmInstall window(backend);
  window.SetCompile(*compile);
  backend.OnIdle = [&](ui::Form&) { return false; };
  window.ShowModal();
  EXPECT_EQ(backend.Now(), 10);
  EXPECT_FALSE(window.Visible());
  EXPECT_EQ(window.Tag(), TfrmInstall::kCloseDone);
  EXPECT_TRUE(platform().FileExists("C:\\Apps\\Demo\\app.exe"));
  EXPECT_EQ(window.Gauge1->Progress(), window.Gauge1->MaxValue());
  auto opened = Journal("shellRun");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]["file"], "C:\\Apps\\Demo\\app.exe");
  auto asked = Journal("messageBox");
  ASSERT_EQ(asked.size(), 1u) << "no finish hint on this path";
  EXPECT_EQ(asked[0]["text"], U8("“演示”安装向导需要重启操作系统，方可完成安装。要自动重启吗？"));
}

TEST_F(InstallWindow, WithoutTheRestartSwitchItClosesWithoutAQuestion) {
  Load();
  TfrmInstall window(backend);
  window.SetCompile(*compile);
  backend.OnIdle = [&](ui::Form&) { return false; };
  window.ShowModal();
  EXPECT_TRUE(Journal("messageBox").empty());
}

TEST_F(InstallWindow, AFailedInstallSaysSoOpensNothingAndCanBeClosed) {
  builder.Setting("应用程序文件", "X:\\src\\app.exe", 12);
  builder.Setting("安装完成后，重启操作系统", "启用", 0);
  platform().InjectFault({sys::sandbox::FaultOp::Create, "readme.txt", sys::kErrorAccessDenied});
  Load();
  TfrmInstall window(backend);
  window.SetCompile(*compile);
  std::vector<std::string> reported;
  ui::SetErrorReporter([&](const std::exception& error) { reported.push_back(error.what()); });
  bool closedByPerson = false;
  backend.OnIdle = [&](ui::Form& top) {
    if (top.Tag() != TfrmInstall::kCloseFailed) return false;
    EXPECT_EQ(top.Caption(), "“演示”安装失败");
    ui::CloseForm(top);
    closedByPerson = true;
    return true;
  };
  window.ShowModal();
  ui::SetErrorReporter(nullptr);
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_TRUE(closedByPerson);
  EXPECT_TRUE(Journal("shellRun").empty());
  EXPECT_TRUE(Journal("messageBox").empty()) << "no restart is offered after a failure";
}

TEST_F(InstallWindow, ThePersonCannotCloseItBeforeTheInstall) {
  Load();
  TfrmInstall window(backend);
  window.SetCompile(*compile);
  window.Show();
  ui::CloseForm(window);
  EXPECT_TRUE(window.Visible());
}

using BackgroundWindow = WizardTest;

TEST_F(BackgroundWindow, DrawsItsPictureAndOpensTheFrameInFrontOfItself) {
  host.WriteFile("C:\\Temp\\Info\\back.jpg",
                 std::string("\xFF\xD8\xFF\xE0", 4) + std::string(40, 'j'));
  builder.Setting("安装背景图片", "C:\\Temp\\Info\\missing.jpg");
  builder.Setting("安装背景图片", "C:\\Temp\\Info\\back.jpg");
  EnableLastPages();
  Load();
  TfrmBackIns window(backend);
  window.SetCompile(*compile);
  EXPECT_EQ(window.Caption(), "“演示”安装向导");
  EXPECT_EQ(window.GetPosition(), ui::Position::WorkArea);

  Answers({sys::kIdYes});
  std::vector<std::string> painted;
  TfrmParent* seen = nullptr;
  backend.OnIdle = [&](ui::Form& top) {
    if (top.ClassName() != TfrmParent::kClassName) return false;
    seen = static_cast<TfrmParent*>(&top);
    EXPECT_EQ(backend.Now(), 100);
    EXPECT_EQ(seen->GetBorderStyle(), ui::BorderStyle::Dialog);
    EXPECT_EQ(seen->GetPosition(), ui::Position::OwnerFormCenter);
    EXPECT_EQ(seen->OwnerFormWindow(), &window);
    painted = ui::PaintForm(window);
    ui::ClickButton(top, "bCancel");
    return true;
  };
  window.ShowModal();
  ASSERT_NE(seen, nullptr);
  EXPECT_FALSE(window.Visible()) << "closes itself once the frame has closed";
  EXPECT_EQ(painted, (std::vector<std::string>{"DrawPictureStretched C:\\Temp\\Info\\back.jpg"}));
}

TEST_F(BackgroundWindow, WithoutAnExistingPictureNothingIsDrawn) {
  builder.Setting("安装背景图片", "C:\\Temp\\Info\\missing.jpg");
  Load();
  TfrmBackIns window(backend);
  window.SetCompile(*compile);
  window.Show();
  EXPECT_FALSE(window.HasPicture());
  EXPECT_TRUE(ui::PaintForm(window).empty());
}

}  // namespace
}  // namespace wizardtest
