#include <gtest/gtest.h>

#include <filesystem>

#include "package/EntryNames.h"
#include "package/PackageFormat.h"
#include "package/uCommon.h"
#include "package/uSystem.h"
#include "system/Platform.h"
#include "system/sandbox/Encoding.h"
#include "tests/package/PackageTestUtil.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"

// Names the entry in a failure and in the test's listed name, instead of a dump of its bytes.
// Outside the unnamed namespace, where GoogleTest finds it beside the type.
void PrintTo(const TCompileFileData& e, std::ostream* os) {
  *os << "kind " << int(e.EntryKind) << ", source '" << sys::sandbox::GbkToUtf8(e.SourcePath)
      << "', entry '" << sys::sandbox::GbkToUtf8(e.EntryName) << "', folder '"
      << sys::sandbox::GbkToUtf8(e.DestFolder) << "'";
}

namespace {

using packagetest::ChunkRun;
using packagetest::ErrorOf;
using packagetest::Le32;
using packagetest::Le64;
using packagetest::RawPackage;
using packagetest::Record;

// A configuration stream written field by field, so that a test can put any value anywhere.
struct Config {
  std::string bytes;
  Config& Count(int32_t n) { return Raw(Le32(static_cast<uint32_t>(n))); }
  Config& Str(const std::string& s) { return Raw(Le32(static_cast<uint32_t>(s.size())) + s); }
  Config& Raw(const std::string& s) {
    bytes += s;
    return *this;
  }
  // A well-formed stream with no items after the settings written so far.
  Config& EmptyLists() { return Str("").Count(0).Str("").Count(0).Str("").Count(0).Count(0).Str("S"); }
};

class DamagedPackage : public testing::Test {
 protected:
  std::string LoadError(const std::string& file) {
    host.WriteFile("C:\\setup.exe", file);
    TCompile compile(host.platform());
    return ErrorOf([&] { compile.LoadPackage("C:\\setup.exe"); });
  }

  testsupport::SandboxHost host;
};

TEST_F(DamagedPackage, WellFormedRawPackageLoads) {
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(Config().Count(0).EmptyLists().bytes))), "<no error>");
}

TEST_F(DamagedPackage, FileShorterThanTheTrailer) {
  EXPECT_EQ(LoadError("MZ short"), package::kDamagedPackage);
  EXPECT_EQ(LoadError(""), package::kDamagedPackage);
}

TEST_F(DamagedPackage, DirectoryOffsetPastTheTrailer) {
  std::string file = std::string(100, 'x') + Le64(0) + Le64(101);
  EXPECT_EQ(LoadError(file), package::kDamagedPackage);
  EXPECT_EQ(LoadError(std::string(100, 'x') + Le64(0) + Le64(INT64_MAX)), package::kDamagedPackage);
}

TEST_F(DamagedPackage, DirectoryAtTheTrailerHoldsNoConfiguration) {
  EXPECT_EQ(LoadError(std::string(100, 'x') + Le64(0) + Le64(100)), package::kDamagedPackage);
}

TEST_F(DamagedPackage, TruncatedConfigurationBlock) {
  std::string run = ChunkRun(Config().Count(0).EmptyLists().bytes);
  EXPECT_EQ(LoadError(RawPackage(run.substr(0, run.size() - 7))), package::kDamagedPackage);
  EXPECT_EQ(LoadError(RawPackage(run.substr(0, 2))), package::kDamagedPackage);
}

TEST_F(DamagedPackage, ChunkLengthPastTheEnd) {
  EXPECT_EQ(LoadError(RawPackage(Le32(0xFFFFFFFFu) + "abc")), package::kDamagedPackage);
  EXPECT_EQ(LoadError(RawPackage(Le32(0x7FFFFFFFu))), package::kDamagedPackage);
}

TEST_F(DamagedPackage, CorruptedConfigurationChunk) {
  std::string run = ChunkRun(Config().Count(0).EmptyLists().bytes);
  run[run.size() - 2] ^= 0x20;
  EXPECT_EQ(LoadError(RawPackage(run)), "error");
  EXPECT_EQ(LoadError(RawPackage(Record("garbage, not zlib"))), "error");
}

TEST_F(DamagedPackage, ChunkThatInflatesBeyondTheLimit) {
  std::string bomb =
      package::CompressChunk(std::string(2 * package::kMaxChunkOutput, '\0'), cplPress);
  ASSERT_LT(bomb.size(), 5000u);
  EXPECT_EQ(LoadError(RawPackage(Record(bomb))), "error");
}

TEST_F(DamagedPackage, ConfigurationThatInflatesWithoutBound) {
  // Every chunk is within the chunk limit; together they pass what a configuration may hold.
  std::string record =
      Record(package::CompressChunk(std::string(package::kMaxChunkOutput, ' '), cplPress));
  std::string run;
  for (int i = 0; i < 257; ++i) run += record;
  EXPECT_EQ(LoadError(RawPackage(run)), package::kDamagedPackage);
}

TEST_F(DamagedPackage, ConfigurationOfExactlyTheCapLoads) {
  // Zeros read as empty lists and an empty serial; what follows them is never looked at. The
  // size is counted before the buffer is made, so the count must accept the cap itself.
  std::string record =
      Record(package::CompressChunk(std::string(package::kMaxChunkOutput, '\0'), cplPress));
  std::string run;
  for (int64_t i = 0;
       i < package::kMaxConfigurationSize / static_cast<int64_t>(package::kMaxChunkOutput); ++i)
    run += record;
  EXPECT_EQ(LoadError(RawPackage(run)), "<no error>");
  EXPECT_EQ(LoadError(RawPackage(run + record)), package::kDamagedPackage);
}

TEST_F(DamagedPackage, StringLengthPastTheConfiguration) {
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(Config().Count(1).Raw(Le32(1000)).Raw("abc").bytes))),
            package::kDamagedPackage);
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(Config().Count(1).Raw(Le32(0xFFFFFFF0u)).bytes))),
            package::kDamagedPackage);
}

TEST_F(DamagedPackage, CountsTheRemainingBytesCannotHold) {
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(Config().Count(0x7FFFFFFF).EmptyLists().bytes))),
            package::kDamagedPackage);
  // Four FileList items claimed, but only room for one.
  Config files;
  files.Count(0).Str("").Count(4);
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(files.Raw(std::string(60, '\0')).bytes))),
            package::kDamagedPackage);
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(Config().Count(-3).EmptyLists().bytes))), "<no error>");
}

TEST_F(DamagedPackage, ConfigurationEndingBeforeTheSerial) {
  Config c;
  c.Count(0).Str("").Count(0).Str("").Count(0).Str("").Count(0).Count(0);
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(c.bytes))), package::kDamagedPackage);
}

TEST_F(DamagedPackage, PatchValueThatIsNoBoolean) {
  std::string config = Config().Count(1).Str("Patch").Str("maybe").Raw(std::string(1, '\0'))
                           .EmptyLists().bytes;
  EXPECT_EQ(LoadError(RawPackage(ChunkRun(config))), "'maybe' is not a valid boolean value");
}

TEST_F(DamagedPackage, EntryRunPastItsEndOrTheFile) {
  testsupport::PackageBuilder b;
  b.AddFile("X:\\a.bin", "目标计算机\\Program Files\\", std::string(30000, 'a'));
  std::string file = b.Build();
  const TCompileFileData& e = *b.project().FileList[0];
  sys::MemoryStream source(file);
  sys::MemoryStream target;
  // The run's last record crosses the end given for it.
  EXPECT_EQ(ErrorOf([&] { TCompile::CopyEntryData(source, target, e.DataStart, e.DataEnd - 1); }),
            package::kDamagedPackage);
  sys::MemoryStream cut(file.substr(0, static_cast<size_t>(e.DataEnd) - 10));
  EXPECT_EQ(ErrorOf([&] { TCompile::CopyEntryData(cut, target, e.DataStart, e.DataEnd); }),
            package::kDamagedPackage);
  EXPECT_EQ(ErrorOf([&] { TCompile::CopyEntryData(source, target, -4, e.DataEnd); }),
            package::kDamagedPackage);
  sys::MemoryStream whole(file);
  sys::MemoryStream out;
  TCompile::CopyEntryData(whole, out, e.DataStart, e.DataEnd);
  EXPECT_EQ(out.bytes(), std::string(30000, 'a'));
}

// Extraction of entries whose names try to leave the temporary folder.
class TraversalNames : public testing::TestWithParam<TCompileFileData> {};

TEST_P(TraversalNames, AreDamagedAndWriteNothing) {
  testsupport::SandboxHost host;
  testsupport::PackageBuilder b;
  b.AddEntry(GetParam(), "evil");
  b.WriteTo(host.platform(), "C:\\setup.exe");
  TCompile compile(host.platform());
  compile.LoadPackage("C:\\setup.exe");
  auto source = host.platform().OpenForRead("C:\\setup.exe");
  EXPECT_EQ(ErrorOf([&] { compile.ExtractResources(*source); }), package::kDamagedPackage);
  EXPECT_TRUE(compile.TempFiles.empty());
  for (const auto& item : std::filesystem::recursive_directory_iterator(host.root()))
    EXPECT_EQ(item.path().filename().string().find("evil"), std::string::npos) << item.path();
}

TCompileFileData Entry(uint8_t kind, const std::string& sourcePath,
                       const std::string& entryName = {}, const std::string& destFolder = {}) {
  TCompileFileData e;
  e.EntryKind = kind;
  e.SourcePath = sourcePath;
  e.EntryName = entryName;
  e.DestFolder = destFolder;
  return e;
}

INSTANTIATE_TEST_SUITE_P(
    Package, TraversalNames,
    testing::Values(
        Entry(package::kEntryResource, "X:\\res\\.."), Entry(package::kEntryResource, "X:/res/.."),
        Entry(package::kEntryResource, "X:\\res\\"), Entry(package::kEntryResource, ""),
        Entry(package::kEntryResource, "evil:stream"), Entry(package::kEntryRegFile, "C:evil.reg"),
        Entry(package::kEntryRegFile, "X:\\reg\\. ."),
        Entry(package::kEntryComponentFile, "X:\\c\\..\\..\\..\\evil.dll", "Comp", "X:\\c"),
        Entry(package::kEntryComponentFile, "X:\\c/../../evil.dll", "Comp", "X:\\c"),
        Entry(package::kEntryComponentFile, "X:\\c\\evil.dll", "..\\..", "X:\\c"),
        Entry(package::kEntryComponentFile, "X:\\c\\evil.dll", "..", "X:\\c"),
        Entry(package::kEntryComponentFile, "X:\\c", "Comp", "X:\\c\\evil"),
        // Device names: the write would go to the device, not to a file.
        Entry(package::kEntryResource, "X:\\res\\CON"),
        Entry(package::kEntryRegFile, "X:\\reg\\com1.reg"),
        Entry(package::kEntryResource, "X:\\res\\nul .txt"),
        Entry(package::kEntryComponentFile, "X:\\c\\AUX\\evil.dll", "Comp", "X:\\c"),
        Entry(package::kEntryComponentFile, "X:\\c\\evil.dll", "LPT1", "X:\\c")));

TEST(EntryNames, TakeTheLastPartAtEitherSeparator) {
  EXPECT_EQ(package::SafeEntryFileName("X:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(package::SafeEntryFileName("X:/a/b.txt"), "b.txt");
  EXPECT_EQ(package::SafeEntryFileName("b.txt"), "b.txt");
  EXPECT_EQ(package::SafeEntryFileName("X:\\a\\..b"), "..b");
  // 0x5C as the trail byte of a double-byte character is not a separator.
  EXPECT_EQ(package::SafeEntryFileName("X:\\dir\\\x95\x5C.txt"), "\x95\x5C.txt");
  EXPECT_EQ(package::SafeFolderName("\x95\x5C"), "\x95\x5C");
  EXPECT_NO_THROW(package::CheckRelativeEntryPath("\\sub\\.\\a.dll"));
  EXPECT_EQ(ErrorOf([] { package::CheckRelativeEntryPath("\\sub\\..\\a.dll"); }),
            package::kDamagedPackage);
  EXPECT_EQ(ErrorOf([] { package::SafeEntryFileName(std::string("a\0b", 3)); }),
            package::kDamagedPackage);
}

TEST(EntryNames, DeviceNamesAreDamageWhateverFollowsThem) {
  for (const char* name : {"CON", "con", "PRN", "AUX", "NUL", "COM1", "com9.txt", "LPT3.tar.gz",
                           "NUL ", "CON.", "aux .log", "CONIN$", "conout$"}) {
    EXPECT_EQ(ErrorOf([&] { package::SafeEntryFileName(std::string("X:\\a\\") + name); }),
              package::kDamagedPackage)
        << name;
    EXPECT_EQ(ErrorOf([&] {
                package::CheckFolderHasNoDevice(std::string("指定目录\\C:\\") + name + "\\x");
              }),
              package::kDamagedPackage)
        << name;
  }
  for (const char* name : {"CONSOLE", "CON1", "COMX", "COM10", "LPT", "NULL.txt", "xAUX", "说明CON"}) {
    EXPECT_EQ(package::SafeEntryFileName(std::string("X:\\a\\") + name), name);
    EXPECT_NO_THROW(
        package::CheckFolderHasNoDevice(std::string("目标计算机\\Program Files\\") + name));
  }
}

}  // namespace
