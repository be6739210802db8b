#include "system/win32/PrivateFolder.h"

#include <cwchar>
#include <memory>

#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

// Only SYSTEM and the Administrators, inherited by everything created inside.
constexpr const wchar_t* kAdministratorsOnly = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

bool RunsAsAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

std::wstring FinalPathOf(HANDLE handle) {
  using FinalPathFunction = DWORD(WINAPI*)(HANDLE, wchar_t*, DWORD, DWORD);
  static const auto finalPath = reinterpret_cast<FinalPathFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
  if (!finalPath) return {};
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n = finalPath(handle, buffer, MAX_PATH * 2, 0);
  if (n == 0 || n >= MAX_PATH * 2) return L"?";
  std::wstring path(buffer, n);
  return path.starts_with(L"\\\\?\\") ? path.substr(4) : path;
}

std::wstring LongPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
  return n == 0 || n >= MAX_PATH * 2 ? path : std::wstring(buffer, n);
}

// Held with list access (so the sharing binds others) and without FILE_SHARE_DELETE; opened as
// it is, so a link in its place is seen rather than followed.
ScopedHandle HoldFolder(const std::wstring& folder) {
  return ScopedHandle(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
}

// The folder is what was created: no reparse point, and where the system can tell, its final
// path is the path meant (a parent that is a link shows there).
bool IsWhereMeant(HANDLE folder, const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  const std::wstring final = FinalPathOf(folder);
  return final.empty() || _wcsicmp(final.c_str(), LongPath(path).c_str()) == 0;
}

}  // namespace

uint32_t UnpredictableNumber() {
  unsigned long value = 0;
  if (!RtlGenRandom(&value, sizeof value)) value = GetTickCount() ^ GetCurrentProcessId();
  return value;
}

PrivateFolder MakePrivateFolder(const std::wstring& parent,
                                  const std::function<std::string(uint32_t number)>& folderName,
                                  uint32_t tries) {
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (RunsAsAdministrator() && !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                   kAdministratorsOnly, SDDL_REVISION_1, &raw, nullptr)) {
    return {};
  }
  std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
  security.lpSecurityDescriptor = descriptor.get();
  std::wstring base = parent;
  if (!base.empty() && base.back() != L'\\') base += L'\\';
  for (uint32_t attempt = 0; attempt < tries; ++attempt) {
    std::wstring folder = base + ToWide(folderName(UnpredictableNumber()));
    if (CreateDirectoryW(folder.c_str(), &security)) {
      ScopedHandle hold = HoldFolder(folder);
      if (hold && IsWhereMeant(hold.Get(), folder)) return {folder, std::move(hold)};
      hold.Reset();
      RemoveDirectoryW(folder.c_str());
      return {};
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

}  // namespace sys::win32
