// Defence against planted DLLs. A setup program usually runs from a downloads folder, where a
// DLL named like one that system DLLs load by name (uxtheme, dwmapi, version, cryptbase, ...)
// would otherwise be found before the system's own copy.
//
// HardenDllSearch, first thing in the program: where SetDefaultDllDirectories exists (Windows 8,
// and 7/Vista with KB2533623) later loads by name search only the system folder; elsewhere the
// DLLs that system code loads by name are loaded now from their full system-folder path, so a
// later load by name finds them already in the process. The current folder leaves the search.
//
// LoadSystemLibrary loads a DLL from the system folder only (a side-by-side assembly the
// program's manifest names, comctl32 6, still takes precedence); null when it cannot.
#pragma once

struct HINSTANCE__;

namespace sys::win32 {

void HardenDllSearch();
HINSTANCE__* LoadSystemLibrary(const wchar_t* name);

}  // namespace sys::win32
