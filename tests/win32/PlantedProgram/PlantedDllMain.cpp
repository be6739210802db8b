// planted-dll: stands in for a DLL an attacker drops beside a setup program in a downloads
// folder under the name of one that system DLLs load by name (version.dll, uxtheme.dll, ...).
// If it is ever loaded, it leaves its own path + ".loaded" beside itself, which the tests look
// for; it then refuses to stay loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8];
  const DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return FALSE;
  lstrcpyW(path + n, L".loaded");
  HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return FALSE;
}
