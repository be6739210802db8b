// Defence against planted DLLs. A setup program usually runs from a downloads folder, where a
// DLL named like one that system DLLs load by name (uxtheme, dwmapi, version, cryptbase, ...)
// would otherwise be found before the system's own copy.
//
// HardenDllSearch, first thing in the program: where SetDefaultDllDirectories exists (Windows 8,
// and 7/Vista with KB2533623) later loads by name search only the system folder; elsewhere
// PreloadSystemDlls loads the DLLs that system code loads by name from their full system-folder
// path, so a later load by name finds them already in the process. The current folder leaves
// the search.
//
// LoadSystemLibrary loads a DLL from the system folder only (a side-by-side assembly the
// program's manifest names, comctl32 6, still takes precedence); null when it cannot. Without
// SetDefaultDllDirectories the DLLs it and the preload bring in import theirs from the system
// folder first too (LOAD_WITH_ALTERED_SEARCH_PATH), not from the program's folder.
#pragma once

#include <span>

struct HINSTANCE__;

namespace sys::win32 {

void HardenDllSearch();
HINSTANCE__* LoadSystemLibrary(const wchar_t* name);

// HardenDllSearch's fallback on its own (the tests play a system without the search flags with
// it). The list holds what setup.exe and uninst.exe were seen to load through a wizard install
// and an uninstall, less the DLLs Windows always takes from the system folder (KnownDLLs),
// those loaded by full path, and Wine's own; plus what those load by name on Windows (MCI
// drivers, the ACM and MIDI mappers, line services, the shell's link and share helpers).
void PreloadSystemDlls();
std::span<const wchar_t* const> PreloadedDlls();

}  // namespace sys::win32
