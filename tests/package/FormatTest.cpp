#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "package/LittleEndian.h"
#include "package/PackageFormat.h"
#include "package/uCommon.h"
#include "package/uSystem.h"
#include "system/Stream.h"
#include "tests/package/PackageTestUtil.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"
#include "tools/packager/PackageWriter.h"

namespace {

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

TEST(PackageFormat, StoredStringIsCountThenBytes) {
  sys::MemoryStream s;
  TElement::WriteString("项目", s);
  EXPECT_EQ(Hex(s.bytes()), "04 00 00 00 CF EE C4 BF");
  s.Seek(0);
  EXPECT_EQ(TElement::ReadString(s), "项目");
  EXPECT_EQ(s.Position(), 8);
}

TEST(PackageFormat, ConfigurationOfFiftyFiveSettingsStartsAsThePackagerWrites) {
  TCustomCompile project;
  for (int i = 0; i < 55; ++i) {
    auto item = std::make_unique<TCompileData>();
    item->Caption = i == 0 ? "项目名称" : "其它";
    project.InfoList.push_back(std::move(item));
  }
  sys::MemoryStream config;
  packager::WriteConfiguration(project, testsupport::kDefaultSerial, config);
  EXPECT_EQ(Hex(config.bytes().substr(0, 16)), "37 00 00 00 08 00 00 00 CF EE C4 BF C3 FB B3 C6");
}

TEST(PackageFormat, TrailerHoldsSizeAndDirectoryOffset) {
  // 3,805,555 bytes of files; the stub is sized so that the configuration lands at 5,144,792.
  std::string content(3805555, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7) % 251);
  auto build = [&](size_t stubSize) {
    testsupport::PackageBuilder b;
    b.Stub(std::string(stubSize, 'M'));
    b.AddFile("X:\\src\\big.bin", "目标计算机\\Program Files\\", content);
    return b;
  };
  auto probe = build(1000);
  packager::WrittenPackage first = probe.WriteToStream(*std::make_unique<sys::MemoryStream>());
  int64_t runs = first.directoryOffset - first.stubSize - package::kReservedSize;
  auto builder = build(static_cast<size_t>(5144792 - package::kReservedSize - runs));
  std::string file = builder.Build();
  EXPECT_EQ(Hex(file.substr(file.size() - 16)),
            "73 11 3A 00 00 00 00 00 D8 80 4E 00 00 00 00 00");
}

TEST(PackageFormat, EntriesFollowTheReservedBytesInListOrder) {
  testsupport::PackageBuilder b;
  b.Stub(std::string(985600, 'M'));
  std::string first(20000, 'a');
  b.AddFile("X:\\a.txt", "目标计算机\\Program Files\\", first);
  b.AddFolder("Data", "目标计算机\\Program Files\\");
  b.AddFile("X:\\empty.txt", "目标计算机\\Program Files\\", "");
  b.AddResource("X:\\res\\logo.bmp", "BM");
  std::string file = b.Build();
  const auto& list = b.project().FileList;
  EXPECT_EQ(list[0]->DataStart, 985608);
  // A record: the LE length, then a zlib stream at the default level (78 9C).
  uint32_t n = le::LoadU32(reinterpret_cast<const unsigned char*>(file.data() + 985608));
  EXPECT_EQ(Hex(file.substr(985612, 2)), "78 9C");
  EXPECT_LT(985612 + static_cast<int64_t>(n), list[0]->DataEnd);  // three chunks for 20,000
  EXPECT_EQ(list[0]->FileSize, 20000);
  EXPECT_EQ(list[2]->DataStart, list[0]->DataEnd);  // folders take no room
  EXPECT_EQ(list[2]->DataEnd, list[2]->DataStart);  // nor does an empty entry
  EXPECT_EQ(list[3]->DataStart, list[2]->DataEnd);
  EXPECT_EQ(list[3]->FileSize, 2);

  sys::MemoryStream source(file);
  sys::MemoryStream out;
  TCompile::CopyEntryData(source, out, list[0]->DataStart, list[0]->DataEnd);
  EXPECT_EQ(out.bytes(), first);
}

TEST(PackageWriter, AsksContentOnlyForEntriesWithData) {
  TCustomCompile project;
  for (uint8_t kind : {package::kEntryFile, package::kEntryFolder, package::kEntryUninstaller}) {
    auto e = std::make_unique<TCompileFileData>();
    e->EntryKind = kind;
    e->DataStart = e->DataEnd = e->FileSize = 99;  // a folder keeps what it holds
    project.FileList.push_back(std::move(e));
  }
  std::vector<size_t> asked;
  auto content = [&](size_t index, const TCompileFileData&) -> std::unique_ptr<sys::Stream> {
    asked.push_back(index);
    return std::make_unique<sys::MemoryStream>(std::string(10, 'x'));
  };
  sys::MemoryStream stub("MZ");
  sys::MemoryStream target;
  packager::WrittenPackage w = packager::WritePackage(stub, project, "S", content, target);
  EXPECT_EQ(asked, (std::vector<size_t>{0, 2}));
  EXPECT_EQ(project.FileList[1]->DataStart, 99);
  EXPECT_EQ(project.FileList[1]->FileSize, 99);
  EXPECT_EQ(project.FileList[2]->FileSize, 10);
  EXPECT_EQ(w.size, 10);  // only kind 0 counts
  EXPECT_EQ(w.stubSize, 2);
  EXPECT_EQ(w.length, target.Size());
}

TEST(PackageWriter, StreamsHostFiles) {
  testsupport::SandboxHost host;
  std::string bytes(50000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 % 256);
  host.WriteFile("C:\\content.bin", bytes);
  testsupport::PackageBuilder b;
  b.AddHostFile("X:\\content.bin", "目标计算机\\Program Files\\", host.Host("C:\\content.bin"));
  std::string file = b.Build();
  const TCompileFileData& e = *b.project().FileList[0];
  EXPECT_EQ(e.FileSize, 50000);
  sys::MemoryStream source(file);
  sys::MemoryStream out;
  TCompile::CopyEntryData(source, out, e.DataStart, e.DataEnd);
  EXPECT_EQ(out.bytes(), bytes);
}

TEST(PackageFormat, LoadPackageReadsBackEveryField) {
  testsupport::PackageBuilder b;
  b.Setting("项目名称", "示例").Setting("作者名称", "作者").Setting("版本号", "1.2")
      .Setting("作者网址", "http://x/").Setting("安装完成后，重启操作系统", "启用")
      .Setting("安装完成后弹出信息提示", "完成了").Setting("Patch", "0");
  b.FileFolder("目标计算机\\Program Files\\示例\\").FileFolder("指定目录\\D:\\x");
  b.RegFolder("目标计算机\\HKEY_LOCAL_MACHINE\\SOFTWARE\\示例");
  b.ShotCutFolder("开始菜单\\示例");
  auto& file = b.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\", "MZ app");
  file.RunAtStartup = 1;
  file.IsPatch = 1;
  file.TargetOs = "6.1";
  file.FileTime = 44197.75;
  b.AddRegValue("目标计算机\\HKEY_LOCAL_MACHINE\\SOFTWARE\\示例", "Path", "x", 2, "5.1");
  b.AddShortcut("桌面\\", "示例", "X:\\src\\app.exe", "-a", "描述", 1);
  b.AddComponent("组件", 1234567890123);
  b.Serial("12345678-1234-1234-1234-123456789ABC");

  testsupport::SandboxHost host;
  b.WriteTo(host.platform(), "C:\\setup.exe");
  TCompile c(host.platform());
  c.LoadPackage("C:\\setup.exe");

  EXPECT_EQ(c.ItemName, "示例");
  EXPECT_EQ(c.Author, "作者");
  EXPECT_EQ(c.Version, "1.2");
  EXPECT_EQ(c.Url, "http://x/");
  EXPECT_EQ(c.Options.RebootText, "启用");
  EXPECT_EQ(c.Options.FinishHint, "完成了");
  EXPECT_FALSE(c.Patched);
  EXPECT_EQ(c.Size, 6);
  EXPECT_EQ(c.Options.TotalSize, 6 + 1234567890123);
  ASSERT_EQ(c.InfoList.size(), 7u);
  EXPECT_EQ(c.FileFolderList, b.project().FileFolderList);
  EXPECT_EQ(c.RegFolderList, b.project().RegFolderList);
  EXPECT_EQ(c.ShotCutFolderList, b.project().ShotCutFolderList);
  ASSERT_EQ(c.FileList.size(), 1u);
  const TCompileFileData& e = *c.FileList[0];
  EXPECT_EQ(e.EntryName, "app.exe");
  EXPECT_EQ(e.DestFolder, "目标计算机\\Program Files\\");
  EXPECT_EQ(e.RunAtStartup, 1);
  EXPECT_EQ(e.KeepOnUninstall, 0);
  EXPECT_EQ(e.IsPatch, 1);
  EXPECT_EQ(e.TargetOs, "6.1");
  EXPECT_EQ(e.DataStart, 512 + 8);
  EXPECT_EQ(e.DataEnd, b.project().FileList[0]->DataEnd);
  EXPECT_EQ(e.FileSize, 6);
  EXPECT_EQ(e.FileTime, 44197.75);
  ASSERT_EQ(c.RegList.size(), 1u);
  EXPECT_EQ(c.RegList[0]->ValueName, "Path");
  EXPECT_EQ(c.RegList[0]->ValueType, 2);
  EXPECT_EQ(c.RegList[0]->TargetOs, "5.1");
  ASSERT_EQ(c.ShotCutList.size(), 1u);
  EXPECT_EQ(c.ShotCutList[0]->LinkDescription, "描述");
  EXPECT_EQ(c.ShotCutList[0]->LinkKind, 1);
  ASSERT_EQ(c.CompList.size(), 1u);
  EXPECT_EQ(c.CompList[0]->CompSize, 1234567890123);
  EXPECT_EQ(c.Serial, "12345678-1234-1234-1234-123456789ABC");
}

TEST(PackageFormat, MissingFileLeavesTheProjectUntouched) {
  testsupport::SandboxHost host;
  TCompile c(host.platform());
  c.Size = 77;
  c.LoadPackage("C:\\none.exe");
  EXPECT_EQ(c.Size, 77);
  EXPECT_EQ(c.Options.TotalSize, 0);
  EXPECT_TRUE(c.InfoList.empty());
}

TEST(PackageFormat, DirectoryOffsetZeroOrNegativeIsAnEmptyProject) {
  testsupport::SandboxHost host;
  for (int64_t directory : {int64_t{0}, int64_t{-5}}) {
    host.WriteFile("C:\\setup.exe", std::string(100, 'x') + packagetest::Le64(4242) +
                                        packagetest::Le64(directory));
    TCompile c(host.platform());
    c.LoadPackage("C:\\setup.exe");
    EXPECT_EQ(c.Size, 4242);
    EXPECT_EQ(c.Options.TotalSize, 4242);
    EXPECT_TRUE(c.FileList.empty());
    EXPECT_EQ(c.Options.ShowWizard, 1);
  }
}

TEST(PackageFormat, EmptyEntryCopiesNothing) {
  sys::MemoryStream source(std::string(100, 'x'));
  sys::MemoryStream target;
  TCompile::CopyEntryData(source, target, 40, 40);
  TCompile::CopyEntryData(source, target, 60, 40);
  EXPECT_EQ(target.Size(), 0);
}

}  // namespace
