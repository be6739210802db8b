// A setup program signed after packing: its package ends where the signing tool's padding and
// certificate table begin. PE headers are hostile input: every malformed or misplaced table
// reads as an unsigned file (the last 16 bytes are the trailer), never as a crash or a read
// beyond the file.
#include <gtest/gtest.h>

#include <functional>

#include "package/PackageBounds.h"
#include "package/PeHeaders.h"
#include "package/uKernal.h"
#include "package/uSystem.h"
#include "system/Platform.h"
#include "tests/package/PackageTestUtil.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/PeImage.h"
#include "tests/support/host/SandboxHost.h"

namespace {

using packagetest::ChunkRun;
using packagetest::ErrorOf;
using testsupport::AppendCertificateTable;
using testsupport::PeFieldsOf;
using testsupport::PeImageOptions;
using testsupport::PutU16;
using testsupport::PutU32;

constexpr const char* kLoads = "<no error>";

std::string PackedSetup(const PeImageOptions& options) {
  testsupport::PackageBuilder b;
  b.Stub(testsupport::BuildPeImage(options));
  b.Setting("项目名称", "签名测试");
  b.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\App\\", std::string(20000, 'a'));
  b.AddResource("X:\\res\\licence.txt", "licence");
  return b.Build();
}

package::PackageBounds BoundsOf(const std::string& file) {
  sys::MemoryStream stream(file);
  return package::FindPackageBounds(stream);
}

class SignedPackage : public testing::Test {
 protected:
  // Loads file as the setup program; the error message, or kLoads.
  std::string Load(const std::string& file) {
    host.WriteFile("C:\\setup.exe", file);
    compile = std::make_unique<TCompile>(host.platform());
    return ErrorOf([&] { compile->LoadPackage("C:\\setup.exe"); });
  }

  testsupport::SandboxHost host;
  std::unique_ptr<TCompile> compile;
};

TEST_F(SignedPackage, LoadsLikeTheUnsignedFileWhateverThePadding) {
  for (size_t overlay = 0; overlay < 8; ++overlay) {
    SCOPED_TRACE("overlay " + std::to_string(overlay));
    const PeImageOptions options{.overlay = overlay};
    const std::string unsigned_ = PackedSetup(options);
    std::string file = unsigned_;
    const size_t table = AppendCertificateTable(file, options);
    EXPECT_EQ(table - unsigned_.size(), (8 - unsigned_.size() % 8) % 8);

    const package::PackageBounds bounds = BoundsOf(file);
    EXPECT_TRUE(bounds.signedAfterPackage);
    EXPECT_EQ(bounds.end, static_cast<int64_t>(unsigned_.size()));
    EXPECT_EQ(bounds.fileLength, static_cast<int64_t>(file.size()));
    ASSERT_TRUE(bounds.certificates);
    EXPECT_EQ(bounds.certificates->offset, static_cast<int64_t>(table));

    ASSERT_EQ(Load(file), kLoads);
    EXPECT_EQ(compile->ItemName, "签名测试");
    ASSERT_EQ(compile->FileList.size(), 2u);
    EXPECT_EQ(compile->Size, 20000);
  }
}

TEST_F(SignedPackage, UnsignedFileEndsAtItsLength) {
  const std::string file = PackedSetup({});
  const package::PackageBounds bounds = BoundsOf(file);
  EXPECT_FALSE(bounds.signedAfterPackage);
  EXPECT_FALSE(bounds.certificates);
  EXPECT_EQ(bounds.end, static_cast<int64_t>(file.size()));
}

// One way of signing or damaging a packed file, and what the reader must make of it.
struct EdgeCase {
  const char* name;
  PeImageOptions options;
  // Changes the signed file; packageEnd is where the unsigned file ended.
  std::function<void(std::string& file, size_t packageEnd, size_t table)> change;
  enum End { kPackageEnd, kFileLength, kTableOffset } end;
  const char* load;  // kLoads or the error's message
};

const EdgeCase kEdgeCases[] = {
    {"SignedPe32", {}, [](std::string&, size_t, size_t) {}, EdgeCase::kPackageEnd, kLoads},
    {"SignedPe32Plus",
     {.pe32Plus = true},
     [](std::string&, size_t, size_t) {},
     EdgeCase::kPackageEnd,
     kLoads},
    {"BytesAppendedAfterSigning",
     {},
     [](std::string& file, size_t, size_t) { file += std::string(32, '\x22'); },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"NonZeroBytesWithinThePaddingAfterTheTable",
     {},
     [](std::string& file, size_t, size_t) { file += "ZZZZ"; },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"TableSizePastTheFile",
     {},
     [](std::string& file, size_t, size_t table) {
       PutU32(file, PeFieldsOf({}).securityDirectory + 4,
              static_cast<uint32_t>(file.size() - table + 8));
     },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"TableOffsetPastFourGigabytes",
     {},
     [](std::string& file, size_t, size_t) {
       PutU32(file, PeFieldsOf({}).securityDirectory, 0xFFFFFFF8u);
     },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"TableInsideTheImage",
     {},
     [](std::string& file, size_t, size_t) {
       PutU32(file, PeFieldsOf({}).securityDirectory, 0x100);
       PutU32(file, PeFieldsOf({}).securityDirectory + 4,
              static_cast<uint32_t>(file.size() - 0x100));
     },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    // Taken as signed (the table reaches the end, after the image), so the trailer is read from
    // the middle of the configuration block: a damaged package, nothing read beyond the file.
    {"TableOffsetInsideThePackage",
     {},
     [](std::string& file, size_t packageEnd, size_t) {
       const size_t offset = packageEnd - 40;
       PutU32(file, PeFieldsOf({}).securityDirectory, static_cast<uint32_t>(offset));
       PutU32(file, PeFieldsOf({}).securityDirectory + 4,
              static_cast<uint32_t>(file.size() - offset));
     },
     EdgeCase::kTableOffset,
     package::kDamagedPackage},
    {"OptionalHeaderTooShortForTheSecurityDirectory",
     {},
     [](std::string& file, size_t, size_t) { PutU16(file, PeFieldsOf({}).optionalSize, 96); },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"FewerThanFiveDataDirectories",
     {},
     [](std::string& file, size_t, size_t) { PutU32(file, PeFieldsOf({}).directoryCount, 4); },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"MoreSectionsThanWindowsLoads",
     {},
     [](std::string& file, size_t, size_t) { PutU16(file, PeFieldsOf({}).sectionCount, 97); },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"PeHeaderPastTheFile",
     {},
     [](std::string& file, size_t, size_t) { PutU32(file, 0x3C, 0xFFFFFFF0u); },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"NoPeSignature",
     {},
     [](std::string& file, size_t, size_t) { file[PeFieldsOf({}).peHeader] = 'X'; },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    {"NoDosHeader",
     {},
     [](std::string& file, size_t, size_t) { file[0] = 'X'; },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
    // The headers end inside the optional header: the 16 bytes read as the trailer are its
    // alignment fields, whose directory offset lies far beyond the file.
    {"HeaderCutShort",
     {},
     [](std::string& file, size_t, size_t) { file.resize(PeFieldsOf({}).peHeader + 24 + 40); },
     EdgeCase::kFileLength,
     package::kDamagedPackage},
};

TEST_F(SignedPackage, EdgeCasesReadAsUnsignedOrDamaged) {
  for (const EdgeCase& c : kEdgeCases) {
    SCOPED_TRACE(c.name);
    std::string file = PackedSetup(c.options);
    const size_t packageEnd = file.size();
    const size_t table = AppendCertificateTable(file, c.options);
    c.change(file, packageEnd, table);

    const package::PackageBounds bounds = BoundsOf(file);
    EXPECT_LE(bounds.end, bounds.fileLength);
    switch (c.end) {
      case EdgeCase::kPackageEnd:
        EXPECT_EQ(bounds.end, static_cast<int64_t>(packageEnd));
        EXPECT_TRUE(bounds.signedAfterPackage);
        break;
      case EdgeCase::kFileLength:
        EXPECT_EQ(bounds.end, static_cast<int64_t>(file.size()));
        EXPECT_FALSE(bounds.signedAfterPackage);
        break;
      case EdgeCase::kTableOffset:
        EXPECT_EQ(bounds.end, static_cast<int64_t>(packageEnd - 40));
        EXPECT_TRUE(bounds.signedAfterPackage);
        break;
    }
    EXPECT_EQ(Load(file), c.load);
  }
}

TEST_F(SignedPackage, SignedStubWithoutPackageIsNotTakenForOne) {
  std::string file = testsupport::BuildPeImage();
  AppendCertificateTable(file, {});
  EXPECT_FALSE(BoundsOf(file).signedAfterPackage);
  EXPECT_EQ(Load(file), package::kDamagedPackage);
}

TEST_F(SignedPackage, EntryDataIsNeverReadFromTheCertificateTable) {
  std::string file = PackedSetup({});
  const size_t packageEnd = file.size();
  const size_t table = AppendCertificateTable(file, {}, 256);
  // A valid chunk run hidden in the table: readable through the whole file, not the package.
  const std::string run = ChunkRun("hidden");
  file.replace(table + 8, run.size(), run);
  const auto start = static_cast<int64_t>(table + 8);
  const auto end = static_cast<int64_t>(table + 8 + run.size());

  sys::MemoryStream whole(file);
  sys::MemoryStream out;
  TCompile::CopyEntryData(whole, out, start, end);
  EXPECT_EQ(out.bytes(), "hidden");

  auto package = package::BoundToPackage(std::make_unique<sys::MemoryStream>(file));
  EXPECT_EQ(package->Size(), static_cast<int64_t>(packageEnd));
  sys::MemoryStream none;
  EXPECT_EQ(ErrorOf([&] { TCompile::CopyEntryData(*package, none, start, end); }),
            package::kDamagedPackage);
  EXPECT_EQ(none.bytes(), "");
}

TEST(PackageStream, ReadsStopAtTheEnd) {
  package::PackageStream stream(std::make_unique<sys::MemoryStream>("0123456789"), 6);
  char buffer[10] = {};
  stream.Seek(4);
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 2u);
  EXPECT_EQ(std::string(buffer, 2), "45");
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);
  stream.Seek(8);
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(stream.Size(), 6);
}

TEST(PeHeaders, ReadsBothOptionalHeaderKinds) {
  for (bool plus : {false, true}) {
    std::string file = testsupport::BuildPeImage({.pe32Plus = plus});
    PutU32(file, PeFieldsOf({.pe32Plus = plus}).securityDirectory, 0x1234);
    PutU32(file, PeFieldsOf({.pe32Plus = plus}).securityDirectory + 4, 0x56);
    sys::MemoryStream stream(file);
    const std::optional<package::PeLayout> layout = package::ReadPeLayout(stream);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->pe32Plus, plus);
    EXPECT_EQ(layout->imageEnd, static_cast<int64_t>(PeFieldsOf({}).imageEnd));
    EXPECT_EQ(layout->certificateOffset, 0x1234);
    EXPECT_EQ(layout->certificateSize, 0x56);
  }
}

TEST(PeHeaders, EveryCutOfTheHeadersReadsAsNoImage) {
  const std::string image = testsupport::BuildPeImage();
  // The 11 directories after the security directory, then the one section header.
  const size_t headersEnd = PeFieldsOf({}).securityDirectory + 8 + 11 * 8 + 40;
  for (size_t length = 0; length < headersEnd; ++length) {
    sys::MemoryStream stream(image.substr(0, length));
    EXPECT_FALSE(package::ReadPeLayout(stream)) << "cut at " << length;
  }
  sys::MemoryStream whole(image.substr(0, headersEnd));
  EXPECT_TRUE(package::ReadPeLayout(whole));
}

}  // namespace
