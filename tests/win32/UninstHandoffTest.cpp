// The hand-off of the real uninst.exe under attack: someone starts it in its copy role with a
// command line of their own. A foreign original (the process handed over is not the program the
// line names) and a foreign log (beside an original that is no registered product's) must both
// end the run with their refusal and nothing removed. Needs a display (the refusals are message
// boxes, closed here) and SETUP_UNINST_EXE, the built uninst.exe as a host path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <windows.h>

#include "system/Platform.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"
#include "tests/support/win32/ScratchFolder.h"
#include "undo/uUnInstall.h"

namespace sys::win32 {
namespace {

constexpr const char* kSerial = "{5E1F0B0A-15B0-4C0F-9A11-0000000015B0}";

std::wstring BuiltUninstaller() {
  const char* host = std::getenv("SETUP_UNINST_EXE");
  if (!host || !*host) return {};
  std::wstring path = L"Z:" + ToWide(host);
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  return path;
}

struct Box {
  HWND window = nullptr;
  std::wstring text;
};

struct BoxSearch {
  DWORD processId = 0;
  Box box;
};

BOOL CALLBACK CollectText(HWND window, LPARAM data) {
  auto* box = reinterpret_cast<Box*>(data);
  wchar_t className[16];
  if (GetClassNameW(window, className, 16) && std::wstring(className) == L"Static") {
    wchar_t text[512];
    GetWindowTextW(window, text, 512);
    box->text += text;
  }
  return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<BoxSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16];
  if (owner != search->processId || !IsWindowVisible(window) ||
      !GetClassNameW(window, className, 16) || std::wstring(className) != L"#32770") {
    return TRUE;
  }
  search->box.window = window;
  return FALSE;
}

// The first visible dialog box of the process and the text of its static controls.
Box FindBox(DWORD processId) {
  BoxSearch search;
  search.processId = processId;
  EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
  if (search.box.window) {
    EnumChildWindows(search.box.window, &CollectText, reinterpret_cast<LPARAM>(&search.box));
  }
  return search.box;
}

class UninstHandoff : public testing::Test {
 protected:
  void SetUp() override {
    built_ = BuiltUninstaller();
    if (built_.empty()) GTEST_SKIP() << "SETUP_UNINST_EXE names no uninst.exe";
    ASSERT_TRUE(platform_.ForceDirectories(At("App")));
    ASSERT_TRUE(platform_.ForceDirectories(At("Evil")));
    WriteFile(At("App\\victim.txt"), "installed");
    // The product: its log in App, registered under HKEY_LOCAL_MACHINE with App as its folder.
    TUnInstall log(platform_);
    log.SetItemName("交接");
    log.SetSerial(kSerial);
    log.AddFile(At("App\\victim.txt"), 1);
    log.WriteUninstallEntry(At("App\\uninst.exe"), "交接", "1.0", "", "", kSerial, At("App"));
    log.SaveToFile(At("App\\Ins.log"));
    ASSERT_TRUE(CopyFileW(built_.c_str(), WidePath(At("App\\uninst.exe")).c_str(), FALSE));
  }

  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, WideSubkey(package::UninstallKeyPath(kSerial)).c_str());
  }

  std::string At(const std::string& relative) const { return scratch_.path() + "\\" + relative; }

  void WriteFile(const std::string& path, const std::string& bytes) {
    platform_.CreateForWrite(path)->Write(bytes.data(), bytes.size());
  }

  // Starts program in the copy role, handing it process as the original's process and naming
  // original; closes the box it shows (answering No to a question) and returns the box's text
  // and the exit code.
  std::pair<std::wstring, DWORD> RunCopy(const std::wstring& program, HANDLE process,
                                        const std::string& original) {
    HANDLE inherited = nullptr;
    EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &inherited,
                                SYNCHRONIZE | PROCESS_QUERY_INFORMATION, TRUE, 0));
    ScopedHandle inheritedHandle(inherited);
    std::wstring line = L"\"" + program + L"\" /handoff " +
                        std::to_wstring(reinterpret_cast<uintptr_t>(inherited)) + L" 0 \"" +
                        WidePath(original) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
      ADD_FAILURE() << "uninst.exe did not start: " << GetLastError();
      return {};
    }
    ScopedHandle child(started.hProcess);
    CloseHandle(started.hThread);
    Box box;
    for (int i = 0; i < 300 && !box.window; ++i) {
      if (WaitForSingleObject(child.Get(), 100) == WAIT_OBJECT_0) break;
      box = FindBox(started.dwProcessId);
    }
    if (box.window) {
      PostMessageW(box.window, WM_COMMAND, IDNO, 0);
      PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    }
    EXPECT_EQ(WaitForSingleObject(child.Get(), 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(child.Get(), &code);
    return {box.text, code};
  }

  Win32Platform platform_;
  tests::ScratchFolder scratch_;
  std::wstring built_;
};

TEST_F(UninstHandoff, AForeignOriginalIsRefused) {
  // This test program is the process handed over; the line claims the installed uninst.exe.
  const auto [text, code] = RunCopy(built_, GetCurrentProcess(), At("App\\uninst.exe"));
  EXPECT_NE(text.find(L"不是启动本程序的程序"), std::wstring::npos) << FromWide(text);
  EXPECT_EQ(code, 1603u) << "a fatal error, as the setup program reports one";
  EXPECT_TRUE(platform_.FileExists(At("App\\victim.txt")));
  EXPECT_TRUE(platform_.FileExists(At("App\\Ins.log")));
}

TEST_F(UninstHandoff, AForeignLogIsRefusedAndARegisteredOneAsked) {
  // The attacker's original and log: a copy of the program and of the product's log (which
  // names the victim) in a folder of their own. The handed process really runs that original.
  const std::wstring evil = WidePath(At("Evil\\uninst.exe"));
  ASSERT_TRUE(CopyFileW(built_.c_str(), evil.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(WidePath(At("App\\Ins.log")).c_str(), WidePath(At("Evil\\Ins.log")).c_str(),
                        FALSE));
  for (const std::string folder : {"Evil", "App"}) {
    SCOPED_TRACE(folder);
    const std::wstring original = WidePath(At(folder + "\\uninst.exe"));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION suspended{};
    std::wstring line = L"\"" + original + L"\"";
    ASSERT_TRUE(CreateProcessW(original.c_str(), line.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, nullptr, &startup, &suspended));
    ScopedHandle process(suspended.hProcess);
    CloseHandle(suspended.hThread);
    // The copy waits for the original to end; it ends at once, as the real one does.
    TerminateProcess(process.Get(), 0);
    const auto [text, code] = RunCopy(built_, process.Get(), At(folder + "\\uninst.exe"));
    if (folder == "Evil") {
      EXPECT_NE(text.find(L"不属于已安装的程序"), std::wstring::npos) << FromWide(text);
    } else {
      // The registered log gets as far as the question, answered No.
      EXPECT_NE(text.find(L"交接"), std::wstring::npos) << FromWide(text);
      EXPECT_EQ(text.find(L"不属于已安装的程序"), std::wstring::npos) << FromWide(text);
    }
    EXPECT_NE(code, 0u);
    EXPECT_TRUE(platform_.FileExists(At("App\\victim.txt")));
  }
}

}  // namespace
}  // namespace sys::win32
