// The DLL search of setup.exe: after HardenDllSearch, and through LoadSystemLibrary, a DLL
// that sits only in the current folder (as a planted one in a downloads folder would) is never
// loaded, while the system's own DLLs still are, from the system folder.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "system/win32/DllSearch.h"
#include "system/win32/WideText.h"
#include "tests/support/win32/ScratchFolder.h"

namespace {

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, length);
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

TEST(DllSearch, LoadsSystemLibrariesFromTheSystemFolderAndNothingPlanted) {
  sys::win32::HardenDllSearch();
  sys::win32::tests::ScratchFolder scratch;
  std::wstring folder = sys::win32::ToWide(scratch.path());
  std::wstring planted = folder + L"\\planted-only-here.dll";
  ASSERT_TRUE(CopyFileW((SystemFolder() + L"\\winmm.dll").c_str(), planted.c_str(), FALSE));
  HMODULE direct = LoadLibraryW(planted.c_str());
  ASSERT_NE(direct, nullptr) << "the copy is a loadable DLL, so refusing it below means something";
  FreeLibrary(direct);

  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(folder.c_str());
  HMODULE fromSearch = sys::win32::LoadSystemLibrary(L"planted-only-here.dll");
  HMODULE byName = LoadLibraryW(L"planted-only-here.dll");
  HMODULE winmm = sys::win32::LoadSystemLibrary(L"winmm.dll");
  SetCurrentDirectoryW(previous);

  EXPECT_EQ(fromSearch, nullptr);
  EXPECT_EQ(byName, nullptr) << "the current folder is out of the default search";
  ASSERT_NE(winmm, nullptr);
  std::wstring path = ModulePath(winmm);
  EXPECT_EQ(_wcsnicmp(path.c_str(), SystemFolder().c_str(), SystemFolder().size()), 0)
      << sys::win32::FromWide(path);
  if (fromSearch) FreeLibrary(fromSearch);
  if (byName) FreeLibrary(byName);
}

}  // namespace
