// planted-program: stands in for a program an attacker drops into a downloads folder under a
// system program's name (regsvr32.exe, regedit.exe). If it is ever started, it leaves its own
// path + ".ran" beside itself, which the tests look for; then it ends with exit code 0.
#include <string>

#include <windows.h>

int main() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return 1;
  path.resize(n);
  HANDLE marker = CreateFileW((path + L".ran").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return 0;
}
