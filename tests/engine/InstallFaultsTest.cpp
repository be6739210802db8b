#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/uCommon.h"
#include "package/uKernal.h"
#include "system/Error.h"
#include "tests/engine/InstallFixture.h"
#include "undo/uUnInstall.h"

namespace enginetest {
namespace {

constexpr const char* kProgramFiles = "目标计算机\\Program Files\\";

// Bytes zlib cannot shrink, so the content takes several chunks of real size.
std::string Noise(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 12345;
  for (char& b : bytes) {
    state = state * 1103515245 + 12345;
    b = static_cast<char>(state >> 24);
  }
  return bytes;
}

uint32_t LengthAt(const std::string& file, int64_t at) {
  uint32_t n = 0;
  std::memcpy(&n, file.data() + at, 4);
  return n;
}

class InstallFaults : public InstallTest {};

TEST_F(InstallFaults, TargetThatCannotBeCreatedEndsTheRunNamingItAndKeepsTheEarlierLog) {
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app");
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  LoadAndInstall();
  const std::string earlierLog = Read("C:\\Apps\\T\\Ins.log");

  builder.AddFile("X:\\src\\locked.dll", kProgramFiles, "new");
  builder.AddRegValue("目标计算机\\HKEY_CURRENT_USER\\Software\\After", "v", "1");
  Load();
  platform().InjectFault({sys::sandbox::FaultOp::Create, "locked.dll", sys::kErrorAccessDenied, 0});
  EXPECT_EQ(InstallError(), sys::Format(sys::kCannotCreateFile, "C:\\Apps\\T\\locked.dll"));
  EXPECT_EQ(Read("C:\\Apps\\T\\Ins.log"), earlierLog);
  EXPECT_FALSE(platform().KeyExists(sys::kHkeyCurrentUser, "Software\\After"));
}

TEST_F(InstallFaults, DamagedChunkInAReplacedFileLeavesTheOldFileIntact) {
  host.WriteFile("C:\\Apps\\T\\big.dat", "old content");
  builder.AddFile("X:\\src\\big.dat", kProgramFiles, Noise(3 * package::kChunkBlockSize));
  std::string file = builder.Build();
  const int64_t start = builder.project().FileList[0]->DataStart;
  const int64_t second = start + 4 + LengthAt(file, start);
  file[static_cast<size_t>(second + 4 + 100)] ^= 0x55;  // inside the second chunk's deflate data
  host.WriteFile(kSetupExe, file);
  LoadProject();
  EXPECT_EQ(InstallError(), package::kZlibError);
  EXPECT_EQ(Read("C:\\Apps\\T\\big.dat"), "old content");
  EXPECT_EQ(host.FolderNames("C:\\Apps\\T"), std::vector<std::string>{"big.dat"});
  EXPECT_FALSE(Exists(kWorkingFolderLog));
}

TEST_F(InstallFaults, TruncatedPackageChangesNothing) {
  builder.AddFile("X:\\src\\a.dll", kProgramFiles, Noise(package::kChunkBlockSize)).IsComponent = 1;
  builder.AddFile("X:\\src\\b.dll", kProgramFiles, Noise(2 * package::kChunkBlockSize));
  const std::string file = builder.Build();
  host.WriteFile(kSetupExe, file);
  LoadProject();
  // The download was cut inside the second file after the settings had been read.
  const int64_t cut = compile->FileList[1]->DataStart + 100;
  host.WriteFile(kSetupExe, file.substr(0, static_cast<size_t>(cut)));
  EXPECT_EQ(InstallError(), package::kDamagedPackage);
  EXPECT_FALSE(platform().DirectoryExists("C:\\Apps\\T"));
  EXPECT_TRUE(CommandLines().empty());
}

TEST_F(InstallFaults, SplicedChunkRunChangesNothing) {
  builder.AddFile("X:\\src\\a.dll", kProgramFiles, "first");
  builder.AddFile("X:\\src\\b.dll", kProgramFiles, Noise(2 * package::kChunkBlockSize));
  std::string file = builder.Build();
  // The second file's first record claims four bytes more than it has: its run then overruns.
  const int64_t start = builder.project().FileList[1]->DataStart;
  const uint32_t grown = LengthAt(file, start) + 4;
  std::memcpy(file.data() + start, &grown, 4);
  host.WriteFile(kSetupExe, file);
  LoadProject();
  EXPECT_EQ(InstallError(), package::kDamagedPackage);
  EXPECT_FALSE(Exists("C:\\Apps\\T\\a.dll"));
  EXPECT_FALSE(platform().DirectoryExists("C:\\Apps\\T"));
}

// Records of many sizes (text shrinks, noise does not) across more than one block of the package
// read ahead; a length one too long deep in the run, and in its last record.
TEST_F(InstallFaults, ABadLengthDeepInALargeFileChangesNothingAndAGoodFileInstallsWhole) {
  std::string content;
  for (int block = 0; block < 48; ++block) {
    content += block % 3 == 0 ? std::string(package::kChunkBlockSize, static_cast<char>('a' + block))
                              : Noise(package::kChunkBlockSize + static_cast<size_t>(block));
  }
  builder.AddFile("X:\\src\\a.dll", kProgramFiles, "first");
  builder.AddFile("X:\\src\\big.dat", kProgramFiles, content);
  const std::string good = builder.Build();
  host.WriteFile(kSetupExe, good);
  LoadProject();
  Install();
  EXPECT_EQ(Read("C:\\Apps\\T\\big.dat"), content);

  const int64_t start = compile->FileList[1]->DataStart;
  std::vector<int64_t> records;
  for (int64_t at = start; at < compile->FileList[1]->DataEnd; at += 4 + LengthAt(good, at)) {
    records.push_back(at);
  }
  ASSERT_GT(records.size(), 40u);
  for (int64_t record : {records[37], records.back()}) {
    std::string bad = good;
    const uint32_t grown = LengthAt(good, record) + 1;
    std::memcpy(bad.data() + record, &grown, 4);
    host.WriteFile(kSetupExe, bad);
    platform().RemoveFile("C:\\Apps\\T\\a.dll");
    LoadProject();
    EXPECT_EQ(InstallError(), package::kDamagedPackage) << record;
    EXPECT_FALSE(Exists("C:\\Apps\\T\\a.dll")) << record;
  }
}

TEST_F(InstallFaults, RunsThatDoNotEndExactlyAtDataEndChangeNothing) {
  builder.AddFile("X:\\src\\a.dll", kProgramFiles, "first");
  builder.AddFile("X:\\src\\b.dll", kProgramFiles, Noise(2 * package::kChunkBlockSize));
  for (int64_t shift : {-1, 3, 100}) {
    Load();
    compile->FileList[1]->DataEnd += shift;
    EXPECT_EQ(InstallError(), package::kDamagedPackage) << shift;
    EXPECT_FALSE(platform().DirectoryExists("C:\\Apps\\T")) << shift;
  }
}

TEST_F(InstallFaults, KeyThatCannotBeCreatedEndsTheRunWithoutALog) {
  builder.RegFolder("目标计算机\\HKEY_LOCAL_MACHINE\\Software\\Locked\\Sub");
  builder.AddShortcut("桌面", "After", "C:\\x.exe");
  platform().CreateKey(sys::kHkeyLocalMachine, "Software\\Locked");
  platform().InjectRegistryFault(sys::kHkeyLocalMachine, "Software\\Locked",
                                 sys::sandbox::RegistryFault::DenyAccess);
  Load().Options.DesktopIcon = 1;
  const std::string error = InstallError();
  EXPECT_EQ(error.rfind("Failed to create key ", 0), 0u) << error;
  EXPECT_NE(error.find("Locked"), std::string::npos) << error;
  EXPECT_FALSE(Exists(kWorkingFolderLog));
  EXPECT_FALSE(Exists(platform().SpecialFolder(sys::kCsidlDesktop) + "\\After.lnk"));
}

}  // namespace
}  // namespace enginetest
