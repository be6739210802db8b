// The platform contract: what every sys::Platform does, checked against the interface alone.
// Each implementation instantiates the suite with its own factory (see PlatformContract.h).
#include <cstring>
#include <string>
#include <vector>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "tests/support/PlatformContract.h"

namespace {

using sys::Error;

void WriteWhole(sys::Platform& p, const std::string& path, const std::string& bytes) {
  auto stream = p.CreateForWrite(path);
  stream->Write(bytes.data(), bytes.size());
}

std::string ReadWhole(sys::Platform& p, const std::string& path) {
  auto stream = p.OpenForRead(path);
  std::string bytes(static_cast<size_t>(stream->Size()), '\0');
  stream->ReadExact(bytes.data(), bytes.size());
  return bytes;
}

// The Windows error code of the sys::Error that action throws, with its text checked.
template <typename Action>
uint32_t ErrorCodeOf(Action action, const std::string& expectedText) {
  try {
    action();
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), expectedText);
    return e.osCode();
  }
  ADD_FAILURE() << "no sys::Error thrown, expected: " << expectedText;
  return 0;
}

// --- Folders and names --------------------------------------------------------------------

TEST_P(PlatformContract, CreatesParentsAndFindsThemIgnoringCase) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("App\\Data\\Logs")));
  EXPECT_TRUE(p.DirectoryExists(At("app\\DATA\\logs")));
  std::string slashed = At("APP/data//Logs");
  EXPECT_TRUE(p.DirectoryExists(slashed));
  EXPECT_TRUE(p.DirectoryExists(At("App\\Data")));
  EXPECT_FALSE(p.FileExists(At("App\\Data")));
  EXPECT_FALSE(p.DirectoryExists(At("App\\Other")));
}

TEST_P(PlatformContract, ListsOnlyTheFoldersInsideAFolderSortedIgnoringCase) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("List\\beta\\Deep")));
  ASSERT_TRUE(p.ForceDirectories(At("List\\Alpha")));
  ASSERT_TRUE(p.ForceDirectories(At("List\\程序")));
  WriteWhole(p, At("List\\file.txt"), "x");
  std::vector<std::string> expected = {"Alpha", "beta", "程序"};
  EXPECT_EQ(p.ListFolders(At("list")), expected);
  EXPECT_EQ(p.ListFolders(At("List\\")), expected);
  EXPECT_EQ(p.ListFolders(At("List\\beta")), std::vector<std::string>{"Deep"});
  EXPECT_TRUE(p.ListFolders(At("List\\Alpha")).empty());
  EXPECT_TRUE(p.ListFolders(At("List\\file.txt")).empty()) << "a file lists nothing";
  EXPECT_TRUE(p.ListFolders(At("Missing")).empty());
}

TEST_P(PlatformContract, ForceDirectoriesOnExistingFolderSucceeds) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("Twice")));
  EXPECT_TRUE(p.ForceDirectories(At("twice")));
  EXPECT_TRUE(p.ForceDirectories(At("Twice\\")));
}

TEST_P(PlatformContract, ForceDirectoriesFailsWhereAFileHasTheName) {
  sys::Platform& p = platform();
  WriteWhole(p, At("Blocker"), "x");
  EXPECT_FALSE(p.ForceDirectories(At("Blocker\\Sub")));
  EXPECT_FALSE(p.DirectoryExists(At("Blocker\\Sub")));
}

TEST_P(PlatformContract, ResolvesDotAndDotDotLexically) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("One\\Two")));
  WriteWhole(p, At("One\\file.txt"), "dots");
  EXPECT_TRUE(p.FileExists(At("One\\Two\\..\\file.txt")));
  EXPECT_TRUE(p.FileExists(At("One\\.\\Two\\.\\..\\FILE.TXT")));
  EXPECT_EQ(ReadWhole(p, At("One\\Two\\..\\.\\file.txt")), "dots");
}

TEST_P(PlatformContract, ChineseNamesRoundTrip) {
  sys::Platform& p = platform();
  // "乗" ends in the byte 0x5C: a search that is not aware of double-byte characters splits it.
  const std::string folder = At("中文目录\\乗");
  ASSERT_TRUE(p.ForceDirectories(folder));
  EXPECT_TRUE(p.DirectoryExists(folder));
  WriteWhole(p, folder + "\\说明.txt", "内容");
  EXPECT_TRUE(p.FileExists(folder + "\\说明.txt"));
  EXPECT_EQ(ReadWhole(p, folder + "\\说明.txt"), "内容");
  EXPECT_FALSE(p.FileExists(folder + "\\说.txt"));
}

// --- Files --------------------------------------------------------------------------------

TEST_P(PlatformContract, WrittenFileReadsBack) {
  sys::Platform& p = platform();
  std::string bytes("binary\0data\xff\x5c", 13);
  WriteWhole(p, At("data.bin"), bytes);
  EXPECT_TRUE(p.FileExists(At("DATA.BIN")));
  auto stream = p.OpenForRead(At("data.bin"));
  EXPECT_EQ(stream->Size(), 13);
  std::string back(13, '\0');
  EXPECT_EQ(stream->Read(back.data(), 13), 13u);
  EXPECT_EQ(back, bytes);
  EXPECT_EQ(stream->Read(back.data(), 13), 0u);
}

TEST_P(PlatformContract, CreateForWriteTruncatesAnExistingFile) {
  sys::Platform& p = platform();
  WriteWhole(p, At("t.txt"), "a long first content");
  WriteWhole(p, At("T.TXT"), "short");
  EXPECT_EQ(ReadWhole(p, At("t.txt")), "short");
}

TEST_P(PlatformContract, TwoReadersShareAFile) {
  sys::Platform& p = platform();
  WriteWhole(p, At("shared.txt"), "0123456789");
  auto first = p.OpenForRead(At("shared.txt"));
  auto second = p.OpenForRead(At("shared.txt"));
  char a[4] = {};
  char b[4] = {};
  first->Seek(6);
  EXPECT_EQ(first->Read(a, 4), 4u);
  EXPECT_EQ(second->Read(b, 4), 4u);
  EXPECT_EQ(std::string(a, 4), "6789");
  EXPECT_EQ(std::string(b, 4), "0123");
}

TEST_P(PlatformContract, SeekPastTheEndReadsNothing) {
  sys::Platform& p = platform();
  WriteWhole(p, At("short.txt"), "abc");
  auto stream = p.OpenForRead(At("short.txt"));
  stream->Seek(100);
  char c = 0;
  EXPECT_EQ(stream->Read(&c, 1), 0u);
  EXPECT_EQ(stream->Position(), 100);
}

TEST_P(PlatformContract, OpenForReadOfAMissingFileThrowsCannotOpen) {
  sys::Platform& p = platform();
  std::string path = At("missing.txt");
  EXPECT_EQ(ErrorCodeOf([&] { p.OpenForRead(path); }, sys::Format(sys::kCannotOpenFile, path)),
            sys::kErrorFileNotFound);
  std::string deeper = At("NoFolder\\missing.txt");
  EXPECT_EQ(ErrorCodeOf([&] { p.OpenForRead(deeper); }, sys::Format(sys::kCannotOpenFile, deeper)),
            sys::kErrorPathNotFound);
}

TEST_P(PlatformContract, CreateForWriteInAMissingFolderThrowsCannotCreate) {
  sys::Platform& p = platform();
  std::string path = At("NoFolder\\new.txt");
  EXPECT_EQ(ErrorCodeOf([&] { p.CreateForWrite(path); }, sys::Format(sys::kCannotCreateFile, path)),
            sys::kErrorPathNotFound);
  EXPECT_FALSE(p.DirectoryExists(At("NoFolder")));
}

TEST_P(PlatformContract, CreateForWriteOnAFolderThrowsCannotCreate) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("Folder")));
  std::string path = At("Folder");
  EXPECT_EQ(ErrorCodeOf([&] { p.CreateForWrite(path); }, sys::Format(sys::kCannotCreateFile, path)),
            sys::kErrorAccessDenied);
}

// The look and the create are one call: an existing file (any case) is left alone and
// beforeCreate not run; a new one is made after it; what it throws stops the create; a folder
// or a missing parent fails as CreateForWrite does, after beforeCreate.
TEST_P(PlatformContract, CreateIfNoFileCreatesOnlyWhereNoFileIs) {
  sys::Platform& p = platform();
  int calls = 0;
  auto count = [&] { ++calls; };
  WriteWhole(p, At("old.txt"), "earlier");
  EXPECT_EQ(p.CreateIfNoFile(At("OLD.TXT"), count), nullptr);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(ReadWhole(p, At("old.txt")), "earlier");

  auto stream = p.CreateIfNoFile(At("新文件.txt"), [&] {
    ++calls;
    EXPECT_FALSE(p.FileExists(At("新文件.txt")));
  });
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(calls, 1);
  stream->Write("new", 3);
  stream.reset();
  EXPECT_EQ(ReadWhole(p, At("新文件.TXT")), "new");

  EXPECT_THROW(p.CreateIfNoFile(At("refused.txt"), [] { throw Error("journal full"); }), Error);
  EXPECT_FALSE(p.FileExists(At("refused.txt")));

  ASSERT_TRUE(p.ForceDirectories(At("Folder")));
  const std::string folder = At("Folder");
  EXPECT_EQ(ErrorCodeOf([&] { p.CreateIfNoFile(folder, count); }, sys::Format(sys::kCannotCreateFile, folder)),
            sys::kErrorAccessDenied);
  const std::string deeper = At("NoFolder\\new.txt");
  EXPECT_EQ(ErrorCodeOf([&] { p.CreateIfNoFile(deeper, count); }, sys::Format(sys::kCannotCreateFile, deeper)),
            sys::kErrorPathNotFound);
  EXPECT_EQ(calls, 3);
}

// --- Files only administrators can change ----------------------------------------------------

TEST_P(PlatformContract, AProtectedFileTakesThePlaceOfWhateverLayAtItsName) {
  sys::Platform& p = platform();
  WriteWhole(p, At("run.journal"), "a planted, longer content");
  {
    auto file = p.CreateProtectedFile(At("RUN.JOURNAL"));
    file->Write("ours", 4);
    EXPECT_EQ(ReadWhole(p, At("run.journal")), "ours");
  }
  EXPECT_EQ(ReadWhole(p, At("run.journal")), "ours");
  const std::string missing = At("NoFolder\\run.journal");
  EXPECT_EQ(ErrorCodeOf([&] { p.CreateProtectedFile(missing); },
                        sys::Format(sys::kCannotCreateFile, missing)),
            sys::kErrorPathNotFound);
}

TEST_P(PlatformContract, OnlyAFileAnAdministratorMadeProtectedIsJudgedSo) {
  sys::Platform& p = platform();
  WriteWhole(p, At("plain.txt"), "plain");
  const bool protectable = p.IsElevated() && keepsFileOwners();
  {
    auto file = p.CreateProtectedFile(At("journal.bin"));
    file->Write("x", 1);
    EXPECT_EQ(p.OnlyAdministratorsCanChange(*file), protectable);
  }
  EXPECT_EQ(p.OnlyAdministratorsCanChange(*p.HoldForRead(At("journal.bin"))), protectable);
  EXPECT_EQ(p.OnlyAdministratorsCanChange(*p.OpenForRead(At("journal.bin"))), protectable);
  EXPECT_FALSE(p.OnlyAdministratorsCanChange(*p.HoldForRead(At("plain.txt"))));
  // Truncating a protected file in place leaves its protection; a file made anew has none.
  WriteWhole(p, At("journal.bin"), "rewritten");
  EXPECT_EQ(p.OnlyAdministratorsCanChange(*p.OpenForRead(At("journal.bin"))), protectable);
  ASSERT_TRUE(p.RemoveFile(At("journal.bin")));
  WriteWhole(p, At("journal.bin"), "x");
  EXPECT_FALSE(p.OnlyAdministratorsCanChange(*p.OpenForRead(At("journal.bin"))));
  sys::MemoryStream memory("x");
  EXPECT_FALSE(p.OnlyAdministratorsCanChange(memory));
}

TEST_P(PlatformContract, RemoveFileDeletesOnlyExistingFiles) {
  sys::Platform& p = platform();
  WriteWhole(p, At("gone.txt"), "x");
  EXPECT_TRUE(p.RemoveFile(At("GONE.txt")));
  EXPECT_FALSE(p.FileExists(At("gone.txt")));
  EXPECT_FALSE(p.RemoveFile(At("gone.txt")));
  ASSERT_TRUE(p.ForceDirectories(At("Dir")));
  EXPECT_FALSE(p.RemoveFile(At("Dir")));
  EXPECT_TRUE(p.DirectoryExists(At("Dir")));
}

TEST_P(PlatformContract, CopyNewFileCopiesButNeverOverwrites) {
  sys::Platform& p = platform();
  WriteWhole(p, At("source.txt"), "source");
  ASSERT_TRUE(p.CopyNewFile(At("source.txt"), At("copy.txt")));
  EXPECT_EQ(ReadWhole(p, At("copy.txt")), "source");
  EXPECT_EQ(ReadWhole(p, At("source.txt")), "source");

  WriteWhole(p, At("other.txt"), "other");
  EXPECT_FALSE(p.CopyNewFile(At("source.txt"), At("OTHER.TXT")));
  EXPECT_EQ(ReadWhole(p, At("other.txt")), "other");
  EXPECT_FALSE(p.CopyNewFile(At("absent.txt"), At("new.txt")));
  EXPECT_FALSE(p.FileExists(At("new.txt")));
}

TEST_P(PlatformContract, MoveReplacingReplacesTheTarget) {
  sys::Platform& p = platform();
  WriteWhole(p, At("new.tmp"), "new content");
  WriteWhole(p, At("target.txt"), "old");
  ASSERT_TRUE(p.MoveReplacing(At("new.tmp"), At("target.txt")));
  EXPECT_FALSE(p.FileExists(At("new.tmp")));
  EXPECT_EQ(ReadWhole(p, At("target.txt")), "new content");
  EXPECT_FALSE(p.MoveReplacing(At("new.tmp"), At("target.txt")));
  EXPECT_EQ(ReadWhole(p, At("target.txt")), "new content");
}

TEST_P(PlatformContract, MoveReplacingToAFreeName) {
  sys::Platform& p = platform();
  WriteWhole(p, At("a.txt"), "a");
  ASSERT_TRUE(p.MoveReplacing(At("a.txt"), At("b.txt")));
  EXPECT_EQ(ReadWhole(p, At("b.txt")), "a");
}

// --- Removal ------------------------------------------------------------------------------

TEST_P(PlatformContract, RemoveEmptyFolderTakesNothingButAnEmptyFolder) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("Outer\\Inner")));
  WriteWhole(p, At("Outer\\Inner\\keep.txt"), "k");
  EXPECT_EQ(p.RemoveEmptyFolder(At("Outer")), sys::Removal::NotEmpty);
  EXPECT_EQ(p.RemoveEmptyFolder(At("outer\\INNER")), sys::Removal::NotEmpty);
  EXPECT_EQ(ReadWhole(p, At("Outer\\Inner\\keep.txt")), "k");

  ASSERT_TRUE(p.RemoveFile(At("Outer\\Inner\\keep.txt")));
  EXPECT_EQ(p.RemoveEmptyFolder(At("outer\\INNER")), sys::Removal::Removed);
  EXPECT_FALSE(p.DirectoryExists(At("Outer\\Inner")));
  EXPECT_EQ(p.RemoveEmptyFolder(At("Outer")), sys::Removal::Removed);
  EXPECT_EQ(p.RemoveEmptyFolder(At("Outer")), sys::Removal::Failed);
}

TEST_P(PlatformContract, RemoveEmptyFolderRefusesFilesAndDriveRoots) {
  sys::Platform& p = platform();
  WriteWhole(p, At("plain.txt"), "p");
  EXPECT_EQ(p.RemoveEmptyFolder(At("plain.txt")), sys::Removal::Failed);
  EXPECT_TRUE(p.FileExists(At("plain.txt")));
  EXPECT_NE(p.RemoveEmptyFolder("C:\\"), sys::Removal::Removed);
  EXPECT_TRUE(p.DirectoryExists("C:\\"));
}

TEST_P(PlatformContract, RemoveAtRestartLeavesTheFileForNow) {
  sys::Platform& p = platform();
  WriteWhole(p, At("busy.dll"), "b");
  EXPECT_TRUE(p.RemoveAtRestart(At("busy.dll")));
  EXPECT_EQ(ReadWhole(p, At("busy.dll")), "b");
}

// --- Times --------------------------------------------------------------------------------

TEST_P(PlatformContract, LastWriteTimeRoundTrips) {
  sys::Platform& p = platform();
  WriteWhole(p, At("timed.txt"), "t");
  // 2015-06-01 with a sub-second part down to the 100-ns tick.
  const sys::FileTime when = 130775328001234567ULL;
  ASSERT_TRUE(p.SetLastWriteTime(At("timed.txt"), when));
  EXPECT_EQ(p.LastWriteTime(At("TIMED.txt")), when);
  const sys::FileTime old = 119600064000000000ULL;  // 1980-01-01
  ASSERT_TRUE(p.SetLastWriteTime(At("timed.txt"), old));
  EXPECT_EQ(p.LastWriteTime(At("timed.txt")), old);
}

TEST_P(PlatformContract, AFileTakesTheTimeSetThroughTheStreamThatWroteIt) {
  sys::Platform& p = platform();
  const sys::FileTime when = 130775328001234567ULL;
  {
    auto written = p.CreateForWrite(At("handle.txt"));
    written->Write("first", 5);
    ASSERT_TRUE(written->SetLastWriteTime(when));
  }  // closing the stream keeps the time
  EXPECT_EQ(p.LastWriteTime(At("handle.txt")), when);
  EXPECT_EQ(ReadWhole(p, At("handle.txt")), "first");
  {
    auto created = p.CreateNewFile(At("new.txt"));
    created->Write("n", 1);
    ASSERT_TRUE(created->SetLastWriteTime(when + 10000000));
  }
  EXPECT_EQ(p.LastWriteTime(At("new.txt")), when + 10000000);
}

TEST_P(PlatformContract, FileTimesOfMissingFilesFail) {
  sys::Platform& p = platform();
  EXPECT_FALSE(p.SetLastWriteTime(At("nothing.txt"), 130775328000000000ULL));
  EXPECT_EQ(p.LastWriteTime(At("nothing.txt")), std::nullopt);
}

TEST_P(PlatformContract, LocalToUtcShiftsByAWholeTimeZone) {
  sys::Platform& p = platform();
  const sys::FileTime local = 130775328000000000ULL;
  const int64_t minute = 600000000LL;
  int64_t shift = static_cast<int64_t>(local) - static_cast<int64_t>(p.LocalToUtc(local));
  EXPECT_EQ(shift % (15 * minute), 0);
  EXPECT_LE(shift < 0 ? -shift : shift, 14 * 60 * minute);
  // The same offset a minute later: the conversion is a shift, not a rounding.
  EXPECT_EQ(p.LocalToUtc(local + minute), p.LocalToUtc(local) + minute);
}

// --- Machine facts ------------------------------------------------------------------------

TEST_P(PlatformContract, FoldersHaveTheirDocumentedForm) {
  sys::Platform& p = platform();
  std::string windows = p.WindowsDirectory();
  ASSERT_FALSE(windows.empty());
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(p.DirectoryExists(windows));
  std::string temp = p.TempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(p.DirectoryExists(temp));
}

TEST_P(PlatformContract, SpecialFoldersResolveWithoutTrailingBackslash) {
  sys::Platform& p = platform();
  for (int csidl : {sys::kCsidlDesktop, sys::kCsidlPrograms, sys::kCsidlCommonPrograms, sys::kCsidlAppData,
                    sys::kCsidlProgramFiles}) {
    std::string folder = p.SpecialFolder(csidl);
    ASSERT_FALSE(folder.empty()) << "CSIDL " << csidl;
    EXPECT_NE(folder.back(), '\\') << "CSIDL " << csidl;
    EXPECT_EQ(folder[1], ':') << folder;
  }
}

TEST_P(PlatformContract, VersionOfAnNtSystem) {
  auto version = platform().Version();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->platformId, 2u);
  EXPECT_GE(version->major, 5u);
}

TEST_P(PlatformContract, FreeSpaceOfTheSystemDrive) {
  sys::Platform& p = platform();
  EXPECT_GT(p.FreeDiskSpace("C:\\"), 0);
  EXPECT_GT(p.FreeDiskSpace("c:\\"), 0);
}

TEST_P(PlatformContract, ExePathIsAnAbsolutePath) {
  std::string exe = platform().ExePath();
  ASSERT_GE(exe.size(), 3u);
  EXPECT_EQ(exe.substr(1, 2), ":\\");
  EXPECT_GE(platform().ParamCount(), 0);
}

// --- Registry -----------------------------------------------------------------------------

TEST_P(PlatformContract, OpenKeyWithoutCreateOnAMissingKeyGivesNothing) {
  sys::Platform& p = platform();
  std::string key = registryKey() + "\\Missing";
  EXPECT_FALSE(p.KeyExists(sys::kHkeyCurrentUser, key));
  EXPECT_EQ(p.OpenKey(sys::kHkeyCurrentUser, key, false), nullptr);
  EXPECT_FALSE(p.KeyExists(sys::kHkeyCurrentUser, key));
}

TEST_P(PlatformContract, CreateKeyMakesEveryLevelFoundIgnoringCase) {
  sys::Platform& p = platform();
  std::string key = registryKey() + "\\Vendor\\Product";
  p.CreateKey(sys::kHkeyCurrentUser, key);
  EXPECT_TRUE(p.KeyExists(sys::kHkeyCurrentUser, registryKey() + "\\vendor"));
  EXPECT_TRUE(p.KeyExists(sys::kHkeyCurrentUser, registryKey() + "\\VENDOR\\product"));
  EXPECT_TRUE(p.KeyExists(sys::kHkeyCurrentUser, "\\" + key));
  EXPECT_NE(p.OpenKey(sys::kHkeyCurrentUser, "\\" + key, false), nullptr);
}

TEST_P(PlatformContract, ValuesOfAllThreeTypesReadBack) {
  sys::Platform& p = platform();
  auto key = p.OpenKey(sys::kHkeyCurrentUser, registryKey() + "\\Values", true);
  ASSERT_NE(key, nullptr);
  key->WriteString("Text", "中文 text");
  key->WriteInteger("Number", 0x12345678u);
  key->WriteBinary("Blob", std::string("\x00\x01\xfe\xff", 4));
  key->WriteString("", "default value");

  auto text = key->QueryValue("TEXT");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->type, sys::kRegSz);
  EXPECT_EQ(text->data, "中文 text");
  auto number = key->QueryValue("number");
  ASSERT_TRUE(number.has_value());
  EXPECT_EQ(number->type, sys::kRegDword);
  EXPECT_EQ(number->data, std::string("\x78\x56\x34\x12", 4));
  auto blob = key->QueryValue("Blob");
  ASSERT_TRUE(blob.has_value());
  EXPECT_EQ(blob->type, sys::kRegBinary);
  EXPECT_EQ(blob->data, std::string("\x00\x01\xfe\xff", 4));
  auto unnamed = key->QueryValue("");
  ASSERT_TRUE(unnamed.has_value());
  EXPECT_EQ(unnamed->data, "default value");
  EXPECT_EQ(key->QueryValue("Absent"), std::nullopt);
}

TEST_P(PlatformContract, KeyOpenedToReadReadsButRefusesWrites) {
  sys::Platform& p = platform();
  std::string path = registryKey() + "\\ReadOnly";
  EXPECT_EQ(p.OpenKeyToRead(sys::kHkeyCurrentUser, path), nullptr);
  EXPECT_FALSE(p.KeyExists(sys::kHkeyCurrentUser, path));
  p.OpenKey(sys::kHkeyCurrentUser, path, true)->WriteString("Install Dir", "C:\\应用");
  auto key = p.OpenKeyToRead(sys::kHkeyCurrentUser, "\\" + path);
  ASSERT_NE(key, nullptr);
  auto value = key->QueryValue("install dir");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->data, "C:\\应用");
  EXPECT_EQ(ErrorCodeOf([&] { key->WriteString("Other", "x"); },
                        sys::Format(sys::kFailedToSetData, "Other")),
            sys::kErrorAccessDenied);
  EXPECT_FALSE(key->DeleteValue("Install Dir"));
  EXPECT_TRUE(p.OpenKey(sys::kHkeyCurrentUser, path, false)->QueryValue("Install Dir").has_value());
}

TEST_P(PlatformContract, ValuesPersistAcrossOpens) {
  sys::Platform& p = platform();
  std::string path = registryKey() + "\\Persist";
  p.OpenKey(sys::kHkeyCurrentUser, path, true)->WriteInteger("Count", 7);
  auto again = p.OpenKey(sys::kHkeyCurrentUser, path, false);
  ASSERT_NE(again, nullptr);
  auto count = again->QueryValue("Count");
  ASSERT_TRUE(count.has_value());
  EXPECT_EQ(count->data, std::string("\x07\x00\x00\x00", 4));
}

TEST_P(PlatformContract, RewritingAValueChangesItsType) {
  sys::Platform& p = platform();
  auto key = p.OpenKey(sys::kHkeyCurrentUser, registryKey(), true);
  ASSERT_NE(key, nullptr);
  key->WriteString("Mixed", "1");
  key->WriteInteger("mixed", 1);
  auto value = key->QueryValue("Mixed");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, sys::kRegDword);
}

TEST_P(PlatformContract, DeleteValueReportsWhetherThereWasOne) {
  sys::Platform& p = platform();
  auto key = p.OpenKey(sys::kHkeyCurrentUser, registryKey(), true);
  ASSERT_NE(key, nullptr);
  key->WriteString("Doomed", "x");
  EXPECT_TRUE(key->DeleteValue("DOOMED"));
  EXPECT_EQ(key->QueryValue("Doomed"), std::nullopt);
  EXPECT_FALSE(key->DeleteValue("Doomed"));
}

TEST_P(PlatformContract, CreateKeyUnderAnInvalidRootThrowsItsText) {
  sys::Platform& p = platform();
  const sys::RegRoot bogus = 0x80000010u;
  std::string key = "Software\\Nowhere";
  try {
    p.CreateKey(bogus, key);
    ADD_FAILURE() << "CreateKey under an invalid root succeeded";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Failed to create key Software\\Nowhere");
  }
  EXPECT_EQ(p.OpenKey(bogus, key, true), nullptr);
  EXPECT_FALSE(p.KeyExists(bogus, key));
}

TEST_P(PlatformContract, RemoveEmptyKeyOnlyWhenItHoldsNothing) {
  sys::Platform& p = platform();
  const std::string outer = registryKey() + "\\Removal";
  const std::string inner = outer + "\\Inner";
  p.CreateKey(sys::kHkeyCurrentUser, inner);
  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, outer), sys::Removal::NotEmpty);
  {
    auto key = p.OpenKey(sys::kHkeyCurrentUser, inner, false);
    ASSERT_NE(key, nullptr);
    key->WriteString("", "the unnamed value counts");
  }
  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, inner), sys::Removal::NotEmpty);
  {
    auto key = p.OpenKey(sys::kHkeyCurrentUser, inner, false);
    ASSERT_TRUE(key->DeleteValue(""));
    key->WriteInteger("Named", 1);
  }
  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, inner), sys::Removal::NotEmpty);
  ASSERT_TRUE(p.OpenKey(sys::kHkeyCurrentUser, inner, false)->DeleteValue("Named"));

  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, "\\" + outer + "\\INNER"), sys::Removal::Removed);
  EXPECT_FALSE(p.KeyExists(sys::kHkeyCurrentUser, inner));
  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, outer), sys::Removal::Removed);
  EXPECT_FALSE(p.KeyExists(sys::kHkeyCurrentUser, outer));
  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, outer), sys::Removal::Failed);
}

TEST_P(PlatformContract, RemoveEmptyKeyNeverTakesARoot) {
  sys::Platform& p = platform();
  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, ""), sys::Removal::Failed);
  EXPECT_EQ(p.RemoveEmptyKey(sys::kHkeyCurrentUser, "\\"), sys::Removal::Failed);
  EXPECT_EQ(p.RemoveEmptyKey(0x80000010u, "Software"), sys::Removal::Failed);
  EXPECT_TRUE(p.KeyExists(sys::kHkeyCurrentUser, "Software"));
}

// --- Profile files ------------------------------------------------------------------------

TEST_P(PlatformContract, ProfileKeysComeInFileOrder) {
  sys::Platform& p = platform();
  WriteWhole(p, At("setup.ini"),
             "; comment line\r\n"
             "[Other]\r\nZeta=0\r\n"
             "[Files]\r\n"
             "  Zulu = last letter \r\n"
             "alpha=1\r\n"
             "; Hidden=yes\r\n"
             "中文=值\r\n"
             "[Next]\r\nBeta=2\r\n");
  std::vector<std::string> keys = p.ProfileKeys(At("setup.ini"), "files");
  EXPECT_EQ(keys, (std::vector<std::string>{"Zulu", "alpha", "中文"}));
  EXPECT_EQ(p.ProfileString(At("setup.ini"), "FILES", "zulu", "none"), "last letter");
  EXPECT_EQ(p.ProfileString(At("setup.ini"), "Files", "中文", "none"), "值");
  EXPECT_EQ(p.ProfileString(At("setup.ini"), "Files", "Hidden", "none"), "none");
  EXPECT_EQ(p.ProfileString(At("setup.ini"), "Files", "Beta", "none"), "none");
  EXPECT_EQ(p.ProfileString(At("setup.ini"), "Next", "beta", "none"), "2");
}

TEST_P(PlatformContract, ProfileOfAMissingFileOrSectionFallsBack) {
  sys::Platform& p = platform();
  EXPECT_EQ(p.ProfileString(At("absent.ini"), "S", "K", "fallback"), "fallback");
  EXPECT_TRUE(p.ProfileKeys(At("absent.ini"), "S").empty());
  WriteWhole(p, At("one.ini"), "[S]\r\nK=V\r\n");
  EXPECT_TRUE(p.ProfileKeys(At("one.ini"), "T").empty());
  EXPECT_EQ(p.ProfileString(At("one.ini"), "T", "K", "fallback"), "fallback");
}

// --- Shell links --------------------------------------------------------------------------

TEST_P(PlatformContract, ShellLinkFieldsReadBack) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("Program")));
  WriteWhole(p, At("Program\\App.exe"), "MZ");
  sys::ShellLink link;
  link.target = At("Program\\App.exe");
  link.arguments = "/quiet \"a b\"";
  link.description = "应用程序 description";
  link.workingDirectory = At("Program\\");
  link.showCommand = sys::kSwShowNormal;
  ASSERT_TRUE(p.WriteShellLink(At("App.lnk"), link));
  EXPECT_TRUE(p.FileExists(At("App.lnk")));

  sys::ShellLink back = ReadShellLink(At("App.lnk"));
  EXPECT_TRUE(sys::SameText(back.target, link.target)) << back.target;
  EXPECT_EQ(back.arguments, link.arguments);
  EXPECT_EQ(back.description, link.description);
  EXPECT_TRUE(sys::SameText(back.workingDirectory, link.workingDirectory) ||
              sys::SameText(back.workingDirectory + "\\", link.workingDirectory))
      << back.workingDirectory;
  EXPECT_EQ(back.showCommand, sys::kSwShowNormal);
}

TEST_P(PlatformContract, ShellLinkIntoAMissingFolderFails) {
  sys::Platform& p = platform();
  sys::ShellLink link;
  link.target = At("App.exe");
  EXPECT_FALSE(p.WriteShellLink(At("NoFolder\\App.lnk"), link));
  EXPECT_FALSE(p.FileExists(At("NoFolder\\App.lnk")));
}

TEST_P(PlatformContract, ShellVerbsOfAMissingItemAreNeverOffered) {
  int offered = 0;
  platform().ForEachShellVerb(At("nothing.lnk"), [&](const std::string&) {
    ++offered;
    return false;
  });
  EXPECT_EQ(offered, 0);
}

}  // namespace
