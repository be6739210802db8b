// DLLs planted beside the program, the place a setup program runs from (a downloads folder):
// dll-probe.exe, copied into a folder beside a marking DLL under the name of every DLL the
// fallback list names, does what the programs do (the rich edit, an MCI wave device, every
// listed DLL by its bare name). Nothing planted may be loaded, and every DLL the process got
// comes from the system folder: once with the search flags this system has, once with only the
// preload list, as on a system without SetDefaultDllDirectories. A DLL already in the process
// when the program's own code starts is checked only for the mark: the program imports only
// DLLs Windows takes from its system folder (check-imports.sh), but Wine's own builtin DLLs
// import others at start, found by name beside the program, and Wine then names its builtin
// code after the file it found there.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "system/win32/DllSearch.h"
#include "system/win32/WideText.h"
#include "tests/support/win32/ScratchFolder.h"

namespace {

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring own(path, n);
  return own.substr(0, own.find_last_of(L'\\'));
}

std::string SystemFolder() {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, length);
}

std::vector<std::wstring> Marks(const std::wstring& folder) {
  std::vector<std::wstring> marks;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*.loaded").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return marks;
  do {
    marks.push_back(found.cFileName);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return marks;
}

// Runs the probe in folder with mode; its result lines, empty when it failed.
std::vector<std::string> Probe(const std::wstring& folder, const wchar_t* mode) {
  const std::wstring program = folder + L"\\dll-probe.exe";
  const std::wstring result = folder + L"\\result-" + mode + L".txt";
  std::wstring line = L"\"" + program + L"\" " + mode + L" \"" + result + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    ADD_FAILURE() << "dll-probe did not start: " << GetLastError();
    return {};
  }
  const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(waited, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u) << "dll-probe " << sys::win32::FromWide(mode);
  std::vector<std::string> lines;
  FILE* in = _wfopen(result.c_str(), L"rb");
  if (!in) return lines;
  char text[1024];
  while (std::fgets(text, sizeof text, in)) {
    std::string entry(text);
    while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r')) entry.pop_back();
    lines.push_back(entry);
  }
  std::fclose(in);
  return lines;
}

TEST(DllPlanting, NothingPlantedBesideTheProgramIsLoaded) {
  sys::win32::tests::ScratchFolder scratch;
  const std::wstring folder = sys::win32::ToWide(scratch.path());
  const std::wstring planted = OwnFolder() + L"\\planted-dll.dll";
  ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\dll-probe.exe").c_str(), (folder + L"\\dll-probe.exe").c_str(), FALSE));
  // The list, and apart from it what the probe's own steps load by name (so that a name dropped
  // from the list is still planted and its loss shows).
  std::vector<std::wstring> names(sys::win32::PreloadedDlls().begin(), sys::win32::PreloadedDlls().end());
  names.insert(names.end(), {L"usp10.dll", L"mciwave.dll", L"msacm32.dll", L"midimap.dll"});
  for (const std::wstring& name : names) {
    ASSERT_TRUE(CopyFileW(planted.c_str(), (folder + L"\\" + name).c_str(), FALSE));
  }
  // The planted copy loads and marks itself, so finding no mark below means something.
  const std::wstring check = folder + L"\\planted-check.dll";
  ASSERT_TRUE(CopyFileW(planted.c_str(), check.c_str(), FALSE));
  HMODULE loaded = LoadLibraryW(check.c_str());
  ASSERT_NE(loaded, nullptr);
  FreeLibrary(loaded);
  ASSERT_EQ(Marks(folder), std::vector<std::wstring>{L"planted-check.dll.loaded"});
  DeleteFileW((check + L".loaded").c_str());

  const std::string system = SystemFolder() + "\\";
  for (const wchar_t* mode : {L"harden", L"preload"}) {
    SCOPED_TRACE(sys::win32::FromWide(mode));
    const std::vector<std::string> lines = Probe(folder, mode);
    EXPECT_EQ(lines.size(), sys::win32::PreloadedDlls().size());
    size_t found = 0;
    for (const std::string& line : lines) {
      const size_t tab = line.find('\t'), second = line.rfind('\t');
      const std::string path = line.substr(tab + 1, second - tab - 1);
      if (path == "-") continue;
      ++found;
      if (line.substr(second + 1) == "start") continue;
      EXPECT_EQ(_strnicmp(path.c_str(), system.c_str(), system.size()), 0) << line;
    }
    EXPECT_GT(found, lines.size() / 2) << "most of the list is on every system";
    for (const std::wstring& mark : Marks(folder)) ADD_FAILURE() << "loaded: " << sys::win32::FromWide(mark);
  }
}

}  // namespace
