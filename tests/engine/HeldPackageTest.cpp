// The setup program's file is read through the one handle LoadPackage opened: the person
// consents to elevation, then the wizard waits, and meanwhile the same user can rename the
// program away and put another one of the same layout under its name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/engine/InstallFixture.h"

namespace enginetest {
namespace {

constexpr const char* kProgramFiles = "目标计算机\\Program Files\\";

class HeldPackage : public InstallTest {
 protected:
  // A package laid out like the loaded one whose data bytes are others: runs of one byte
  // compress to the same length whichever byte it is.
  void SwapTheProgramFor(char byte) {
    const std::filesystem::path file = host.Host(kSetupExe);
    std::filesystem::rename(file, file.parent_path() / "setup.old");
    platform().ForgetHostListings();
    testsupport::PackageBuilder other;
    other.AddFile("X:\\src\\app.exe", kProgramFiles, std::string(5000, byte));
    other.AddRegFile("X:\\reg\\a.reg", std::string(300, byte));
    other.WriteTo(platform(), kSetupExe);
  }
};

TEST_F(HeldPackage, InstallWritesTheLoadedBytesWhateverNowHasTheProgramsName) {
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, std::string(5000, 'A'));
  builder.AddRegFile("X:\\reg\\a.reg", std::string(300, 'A'));
  platform().SetExePath(kSetupExe, 1);
  Load("C:\\App");
  SwapTheProgramFor('B');
  Install();
  EXPECT_EQ(Read("C:\\App\\app.exe"), std::string(5000, 'A'));
}

TEST_F(HeldPackage, UnpackingReadsTheLoadedBytesToo) {
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, std::string(5000, 'A'));
  builder.AddRegFile("X:\\reg\\a.reg", std::string(300, 'A'));
  platform().SetExePath(kSetupExe, 1);
  TCompile& compile = Load("C:\\App");
  SwapTheProgramFor('B');
  compile.ExtractResources(*compile.OpenPackageFile(kSetupExe));
  EXPECT_EQ(Read(compile.FileList[1]->SourcePath), std::string(300, 'A'));
}

}  // namespace
}  // namespace enginetest
