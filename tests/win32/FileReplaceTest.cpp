// Replacing installed files on the real API where Windows refuses a plain move: targets that are
// read-only, hidden or system, targets still open (a running program or loaded library keeps
// its file open and allows only a rename), and paths past MAX_PATH. Wine refuses to replace any
// file that is open and to delete a running program's file, as Windows does for mapped images.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "system/Error.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"
#include "tests/support/win32/ScratchFolder.h"
#include "undo/ReplacingFile.h"

namespace sys::win32 {
namespace {

void Write(Platform& p, const std::string& path, const std::string& text) {
  p.CreateForWrite(path)->Write(text.data(), text.size());
}

std::string Read(Platform& p, const std::string& path) {
  auto stream = p.OpenForRead(path);
  std::string text(static_cast<size_t>(stream->Size()), '\0');
  stream->Read(text.data(), text.size());
  return text;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  ScopedFindHandle find(FindFirstFileW(FileSystemPath(folder + "\\*").c_str(), &found));
  if (!find) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(FromWide(name));
  } while (FindNextFileW(find.Get(), &found));
  return names;
}

// Holds the file open as a program's image is held: readers and renames allowed, or not even a
// rename when allowRename is false.
ScopedHandle Hold(const std::string& path, bool allowRename) {
  DWORD share = FILE_SHARE_READ | (allowRename ? FILE_SHARE_DELETE : 0);
  return ScopedHandle(CreateFileW(ToWide(path).c_str(), GENERIC_READ, share, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The system's list of renames and deletions for the next restart, put back as it was found.
class PendingRenames {
 public:
  PendingRenames() { before_ = Read(&existed_); }
  ~PendingRenames() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (existed_) {
      RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before_.data()),
                     static_cast<DWORD>(before_.size() * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key, kValue);
    }
    RegCloseKey(key);
  }
  // What was added since construction, NULs and all.
  std::wstring Added() const {
    bool exists = false;
    std::wstring now = Read(&exists);
    return now.size() > before_.size() ? now.substr(before_.size()) : now;
  }

 private:
  static std::wstring Read(bool* exists) {
    wchar_t buffer[8192];
    DWORD size = sizeof buffer;
    *exists = RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, buffer,
                           &size) == ERROR_SUCCESS;
    return *exists ? std::wstring(buffer, size / sizeof(wchar_t)) : std::wstring();
  }

  static constexpr const wchar_t* kKey = L"System\\CurrentControlSet\\Control\\Session Manager";
  static constexpr const wchar_t* kValue = L"PendingFileRenameOperations";
  std::wstring before_;
  bool existed_ = false;
};

class FileReplace : public testing::Test {
 protected:
  std::string At(const std::string& name) const { return scratch_.path() + "\\" + name; }
  void Prepare() {
    Write(platform_, At("app.exe"), "old");
    Write(platform_, At("app.exe.new"), "new");
  }

  tests::ScratchFolder scratch_;
  Win32Platform platform_;
};

TEST_F(FileReplace, ReadOnlyHiddenAndSystemTargetsAreReplaced) {
  for (DWORD attribute : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN}) {
    Prepare();
    ASSERT_TRUE(SetFileAttributesW(ToWide(At("app.exe")).c_str(), attribute));
    EXPECT_TRUE(platform_.MoveReplacing(At("app.exe.new"), At("app.exe"))) << attribute;
    EXPECT_EQ(Read(platform_, At("app.exe")), "new") << attribute;
    EXPECT_EQ(Names(scratch_.path()), std::vector<std::string>{"app.exe"}) << attribute;
  }
}

TEST_F(FileReplace, OpenTargetStepsAsideAndIsReplaced) {
  Prepare();
  ScopedHandle running = Hold(At("app.exe"), true);
  ASSERT_TRUE(running);
  ASSERT_TRUE(platform_.MoveReplacing(At("app.exe.new"), At("app.exe")));
  EXPECT_EQ(Read(platform_, At("app.exe")), "new");
  // The holder goes on with the old file it has open.
  char old[3] = {};
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(running.Get(), old, 3, &got, nullptr));
  EXPECT_EQ(std::string(old, got), "old");
  running.Reset();
  // The old copy is gone, or waits for the restart under a name beside the new one.
  for (const std::string& name : Names(scratch_.path())) {
    EXPECT_TRUE(name == "app.exe" || name.starts_with("app.exe.~old")) << name;
  }
}

TEST_F(FileReplace, RunningProgramIsReplaced) {
  // A copy of cmd.exe that stays running holds its image as Windows does.
  wchar_t system[MAX_PATH];
  UINT n = GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_TRUE(CopyFileW((std::wstring(system, n) + L"\\cmd.exe").c_str(),
                        ToWide(At("app.exe")).c_str(), FALSE));
  std::wstring line = L"app.exe /c ping -n 30 127.0.0.1";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(ToWide(At("app.exe")).c_str(), line.data(), nullptr, nullptr, FALSE,
                             CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process));
  ScopedHandle running(process.hProcess);
  ScopedHandle thread(process.hThread);
  Write(platform_, At("app.exe.new"), "new");

  PendingRenames pending;
  bool replaced = platform_.MoveReplacing(At("app.exe.new"), At("app.exe"));
  std::wstring scheduled = pending.Added();
  TerminateProcess(running.Get(), 0);
  WaitForSingleObject(running.Get(), 5000);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(Read(platform_, At("app.exe")), "new");
  // The old image could not be deleted while it ran: it waits beside the new one and is named
  // for deletion at the next restart.
  std::vector<std::string> names = Names(scratch_.path());
  ASSERT_EQ(names.size(), 2u);
  std::string aside = names[0] == "app.exe" ? names[1] : names[0];
  EXPECT_TRUE(aside.starts_with("app.exe.~old")) << aside;
  EXPECT_NE(scheduled.find(ToWide(aside)), std::wstring::npos) << FromWide(scheduled);
}

TEST_F(FileReplace, TargetThatCannotEvenBeRenamedKeepsItsContentAndTheErrorNamesIt) {
  Write(platform_, At("core.dll"), "old");
  ScopedHandle locked = Hold(At("core.dll"), false);
  ASSERT_TRUE(locked);
  undo::ReplacingFile file(platform_, At("core.dll"));
  file.Open().Write("new", 3);
  try {
    file.Commit();
    ADD_FAILURE() << "the locked file was replaced";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), Format(kCannotCreateFile, At("core.dll")));
  }
  locked.Reset();
  EXPECT_EQ(Read(platform_, At("core.dll")), "old");
}

TEST_F(FileReplace, ReadOnlyTargetThatCannotBeReplacedKeepsItsAttribute) {
  Write(platform_, At("core.dll"), "old");
  Write(platform_, At("core.dll.new"), "new");
  ASSERT_TRUE(SetFileAttributesW(ToWide(At("core.dll")).c_str(), FILE_ATTRIBUTE_READONLY));
  {
    ScopedHandle locked = Hold(At("core.dll"), false);
    EXPECT_FALSE(platform_.MoveReplacing(At("core.dll.new"), At("core.dll")));
  }
  EXPECT_EQ(GetFileAttributesW(ToWide(At("core.dll")).c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Read(platform_, At("core.dll")), "old");
}

TEST_F(FileReplace, PathsPastMaxPathWork) {
  std::string folder = scratch_.path();
  while (folder.size() < 300) folder += "\\" + std::string(40, 'd');
  ASSERT_TRUE(platform_.ForceDirectories(folder));
  EXPECT_TRUE(platform_.DirectoryExists(folder));
  std::string target = folder + "\\program.exe";
  Write(platform_, target, "old");
  Write(platform_, target + ".new", "new");
  EXPECT_TRUE(platform_.MoveReplacing(target + ".new", target));
  EXPECT_EQ(Read(platform_, target), "new");
  EXPECT_TRUE(platform_.SetLastWriteTime(target, 130000000000000000ull));
  EXPECT_EQ(platform_.LastWriteTime(target), 130000000000000000ull);
  EXPECT_TRUE(platform_.RemoveFile(target));
  EXPECT_FALSE(platform_.FileExists(target));
}

}  // namespace
}  // namespace sys::win32
