// uninst.exe /S without its Windows shell: the switches, the silent dialogs with their log and
// the exit code of each outcome.
#include <gtest/gtest.h>

#include "system/RunLog.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/FaultInjection.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "uninstaller/SilentUninstall.h"

namespace uninsttest {
namespace {

namespace FaultOp = sys::sandbox::FaultOp;

TEST(UninstallSwitches, TakeSAndLogInAnyCaseAndLeaveTheRestToTheHandoff) {
  uninst::UninstallSwitches s =
      uninst::ParseUninstallSwitches({"/handoff", "12", "0", "/s", "/Log=C:\\u.log"});
  EXPECT_TRUE(s.silent);
  EXPECT_EQ(s.logFile.value_or(""), "C:\\u.log");
  EXPECT_EQ(s.rest, (std::vector<std::string>{"/handoff", "12", "0"}));
  EXPECT_EQ(s.error, "");
  EXPECT_FALSE(uninst::ParseUninstallSwitches({}).silent);
  EXPECT_NE(uninst::ParseUninstallSwitches({"/S", "/LOG="}).error, "");
}

class SilentUninstall : public UninstallerTest {
 protected:
  int RunSilently() {
    sys::RunLog log(platform(), std::string("C:\\u.log"));
    uninst::SilentDialogs silent(log);
    return uninst::UninstallExitCode(uninst::RunUninstall(platform(), kLog, silent));
  }
  std::string Log() { return sys::sandbox::Utf8ToGbk(host.ReadFile("C:\\u.log")); }
};

TEST_F(SilentUninstall, RemovesEverythingAsksNothingAndLogsEachStep) {
  InstallProduct();
  EXPECT_EQ(RunSilently(), 0);
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
  EXPECT_FALSE(Exists(kLog));
  EXPECT_NE(Log().find("[product] 小工具"), std::string::npos) << Log();
  EXPECT_NE(Log().find("[remove] C:\\App\\tool.exe"), std::string::npos) << Log();
}

TEST_F(SilentUninstall, AFileInUseIsLeftForTheRestartWith3010) {
  InstallProduct();
  platform().InjectFault(sys::sandbox::FaultRule{FaultOp::Remove, "core.dll", 32, 0});
  EXPECT_EQ(RunSilently(), 3010);
  EXPECT_NE(Log().find("[restart] removed at the next restart: C:\\App\\Sub\\core.dll"),
            std::string::npos)
      << Log();
}

TEST_F(SilentUninstall, AFileThatCannotGoAtAllFailsWith1603) {
  InstallProduct();
  platform().InjectFault(
      sys::sandbox::FaultRule{FaultOp::Remove | FaultOp::RestartMark, "core.dll", 5, 0});
  EXPECT_EQ(RunSilently(), 1603);
  EXPECT_NE(Log().find("[error] could not be removed: C:\\App\\Sub\\core.dll"), std::string::npos)
      << Log();
}

TEST_F(SilentUninstall, AMissingLogFailsWith1603AndSaysWhy) {
  EXPECT_EQ(RunSilently(), 1603);
  EXPECT_NE(Log().find("[error] "), std::string::npos);
}

TEST_F(SilentUninstall, APersonsNoIs1602) {
  InstallProduct();
  dialogs.confirm = false;
  EXPECT_EQ(uninst::UninstallExitCode(Uninstall()), 1602);
}

}  // namespace
}  // namespace uninsttest
