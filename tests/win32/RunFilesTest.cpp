// The run's own files on the real API: the program's file held against renaming, writing and
// deleting, and told apart from another file under its name; private folders created new;
// unpacked files created new and held; the relaunch's hand-back between two processes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "system/Error.h"
#include "system/Platform.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"
#include "tests/support/win32/ScratchFolder.h"

namespace sys::win32 {
namespace {

std::wstring OwnPath() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

DWORD OpenError(const std::wstring& path, DWORD access, DWORD share) {
  HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(file);
  return ERROR_SUCCESS;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What a same-user program beside the run can do to a file: write it, delete it, rename it.
void ExpectKeptFromOthers(const std::wstring& path) {
  EXPECT_EQ(OpenError(path, GENERIC_READ, kShareAll), ERROR_SUCCESS) << "readers still get in";
  EXPECT_EQ(OpenError(path, GENERIC_WRITE, kShareAll), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(OpenError(path, DELETE, kShareAll), ERROR_SHARING_VIOLATION);
  const std::wstring moved = path + L".moved";
  EXPECT_FALSE(MoveFileW(path.c_str(), moved.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  MoveFileW(moved.c_str(), path.c_str());  // back, should the hold have failed
}

TEST(RunFiles, TheProgramsOwnFileIsHeldAgainstRenamingWritingAndDeleting) {
  Win32Platform platform;
  std::unique_ptr<Stream> held = platform.HoldOwnImage();
  char magic[2] = {};
  ASSERT_EQ(held->Read(magic, 2), 2u);
  EXPECT_EQ(std::string(magic, 2), "MZ");
  ExpectKeptFromOthers(OwnPath());
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(RunFiles, AnotherFileUnderTheProgramsNameIsRefused) {
  // Windows names a mapped image by its file's current name; Wine keeps the name it was loaded
  // under, so there the copy cannot be told from the image by name.
  if (UnderWine()) GTEST_SKIP() << "Wine does not follow a renamed image's name";
  const std::wstring own = OwnPath();
  const std::wstring away = own + L".away";
  // The running program renamed away and a copy of it put under its name: same bytes, another
  // file. (Windows lets a running program's file be renamed; nothing holds it yet.)
  ASSERT_TRUE(MoveFileW(own.c_str(), away.c_str()));
  const bool copied = CopyFileW(away.c_str(), own.c_str(), TRUE);
  std::string message;
  if (copied) {
    try {
      Win32Platform().HoldOwnImage();
    } catch (const Error& e) {
      message = e.what();
    }
    DeleteFileW(own.c_str());
  }
  MoveFileW(away.c_str(), own.c_str());
  ASSERT_TRUE(copied);
  EXPECT_EQ(message, kSetupProgramReplaced);
}

TEST(RunFiles, PrivateFoldersAreNewWithUnforeseeableNames) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  const std::string first = platform.CreatePrivateFolder(scratch.path());
  const std::string second = platform.CreatePrivateFolder(scratch.path() + "\\");
  EXPECT_NE(first, second);
  for (const std::string& folder : {first, second}) {
    EXPECT_EQ(folder.rfind(scratch.path() + "\\~stp", 0), 0u) << folder;
    EXPECT_EQ(folder.size(), scratch.path().size() + 13) << folder;
    EXPECT_TRUE(platform.DirectoryExists(folder));
  }
}

TEST(RunFiles, ANewFileRefusesATakenNameAndKeepsWritersOutWhileOpen) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  const std::string path = scratch.path() + "\\a.reg";
  platform.CreateForWrite(path)->Write("old", 3);
  try {
    platform.CreateNewFile(path);
    ADD_FAILURE() << "a taken name was reused";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), Format(kCannotCreateFile, path));
    EXPECT_EQ(e.osCode(), static_cast<uint32_t>(ERROR_FILE_EXISTS));
  }
  const std::string fresh = scratch.path() + "\\b.reg";
  std::unique_ptr<Stream> file = platform.CreateNewFile(fresh);
  file->Write("REGEDIT4", 8);
  EXPECT_EQ(OpenError(ToWide(fresh), GENERIC_WRITE, kShareAll), ERROR_SHARING_VIOLATION);
}

TEST(RunFiles, AHeldFileIsReadByOthersButNeitherWrittenNorRenamedNorDeleted) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  const std::string path = scratch.path() + "\\C1.ini";
  platform.CreateNewFile(path)->Write("[Option]", 8);
  std::unique_ptr<Stream> held = platform.HoldForRead(path);
  ExpectKeptFromOthers(ToWide(path));
  EXPECT_EQ(platform.ProfileKeys(path, "Option").size(), 0u);
  held.reset();
  EXPECT_TRUE(platform.RemoveFile(path));
}

// The copy's side, run by the test below in a process of its own with /HANDBACK=... given.
TEST(HandBackCopy, DISABLED_HandsBackTwoPaths) {
  Win32Platform platform;
  EXPECT_TRUE(platform.HandBack({"C:\\App\\app.exe", "C:\\App\\说明.txt"}));
}

TEST(HandBack, TheParentReadsWhatItsChildHandedBack) {
  Win32Platform platform;
  const std::string parameter = platform.CreateHandBack();
  ASSERT_EQ(parameter.rfind("/HANDBACK=", 0), 0u) << parameter;
  std::wstring line = L"\"" + OwnPath() +
                      L"\" --gtest_also_run_disabled_tests "
                      L"--gtest_filter=HandBackCopy.DISABLED_HandsBackTwoPaths " +
                      ToWide(parameter);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(OwnPath().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  WaitForSingleObject(process.hProcess, 30000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(platform.TakeHandBack(),
            (std::vector<std::string>{"C:\\App\\app.exe", "C:\\App\\说明.txt"}));
  EXPECT_TRUE(platform.TakeHandBack().empty());
}

TEST(HandBack, WithoutAParentNamedNothingIsHandedBack) {
  Win32Platform platform;
  EXPECT_FALSE(platform.HandBack({"C:\\App\\app.exe"}));
}

TEST(RunFiles, AProtectedFolderIsCreatedOnce) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  EXPECT_TRUE(platform.CreateProtectedFolder(scratch.path() + "\\Apps"));
  EXPECT_TRUE(platform.DirectoryExists(scratch.path() + "\\Apps"));
  EXPECT_FALSE(platform.CreateProtectedFolder(scratch.path() + "\\Apps"));
}

}  // namespace
}  // namespace sys::win32
