// The run's own files on Win32Platform: the program's file held and checked against the running
// image, a private folder for unpacked resources, files created new and held against writers.
//
// Sharing does the holding: a handle opened without FILE_SHARE_WRITE and FILE_SHARE_DELETE keeps
// every other opener from writing, renaming or deleting the file while it is open, administrators
// included. The private folder's access list keeps other users out on Windows; where access
// lists are not enforced (Wine), the held handles still stand.
#include <cwchar>
#include <memory>
#include <string>

#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include "system/Error.h"
#include "system/win32/AdministratorsOnly.h"
#include "system/win32/DllSearch.h"
#include "system/win32/FileStream.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

constexpr int kNameAttempts = 16;
// Only SYSTEM and the Administrators, inherited by everything created inside.
constexpr const wchar_t* kAdministratorsOnly = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
// What Program Files grants, not inherited from the parent: SYSTEM and the Administrators
// everything, the Users read and execute (0x1200a9).
constexpr const wchar_t* kLikeProgramFiles =
    L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

using MappedFileNameFunction = DWORD(WINAPI*)(HANDLE, void*, wchar_t*, DWORD);

// kernel32 has it from Windows 7 on; psapi.dll before.
MappedFileNameFunction MappedFileNameQuery() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC query = kernel ? GetProcAddress(kernel, "K32GetMappedFileNameW") : nullptr;
  if (!query) {
    HMODULE psapi = LoadSystemLibrary(L"psapi.dll");
    query = psapi ? GetProcAddress(psapi, "GetMappedFileNameW") : nullptr;
  }
  return reinterpret_cast<MappedFileNameFunction>(reinterpret_cast<void*>(query));
}

// The current name of the file mapped at address, in the kernel's device form; empty when it
// cannot be told.
std::wstring MappedFileName(MappedFileNameFunction query, void* address) {
  wchar_t name[MAX_PATH * 2];
  const DWORD n = query(GetCurrentProcess(), address, name, MAX_PATH * 2);
  return n > 0 && n < MAX_PATH * 2 ? std::wstring(name, n) : std::wstring();
}

// True when file is the file the process's image was mapped from. Both names come from the
// same query, so their form is the same; a rename of the program after it started shows in the
// image's name, a replacement in the file's.
bool IsRunningImage(HANDLE file) {
  MappedFileNameFunction query = MappedFileNameQuery();
  if (!query) return false;
  ScopedHandle mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return false;
  void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 1);
  if (!view) return false;
  const std::wstring held = MappedFileName(query, view);
  UnmapViewOfFile(view);
  const std::wstring image = MappedFileName(query, GetModuleHandleW(nullptr));
  return !held.empty() && _wcsicmp(held.c_str(), image.c_str()) == 0;
}

std::wstring ModuleFileName() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), n, full.data(), nullptr));
  return full;
}

bool IsReparsePoint(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// True when folder, or a folder above it below its drive root, is a junction or link.
bool PassesThroughLink(const std::wstring& folder) {
  for (size_t at = folder.find(L'\\', 3); ; at = folder.find(L'\\', at + 1)) {
    if (IsReparsePoint(folder.substr(0, at))) return true;
    if (at == std::wstring::npos) return false;
  }
}

bool RunsAsAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

// A security descriptor from its text form, freed by LocalFree; null on failure.
using ScopedDescriptor = std::unique_ptr<void, decltype(&LocalFree)>;
ScopedDescriptor Descriptor(const wchar_t* text) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &raw, nullptr))
    raw = nullptr;
  return ScopedDescriptor(raw, &LocalFree);
}

std::wstring RandomFolderName() {
  unsigned long value = 0;
  // A failed draw leaves a tick count: the name then is only less surprising, never reused.
  if (!RtlGenRandom(&value, sizeof value)) value = GetTickCount() ^ GetCurrentProcessId();
  // Eight lower-case hex digits (printf is not linked for this).
  std::wstring name = L"~stp00000000";
  for (size_t digit = name.size(); value != 0; value >>= 4)
    name[--digit] = L"0123456789abcdef"[value & 15];
  return name;
}

}  // namespace

std::unique_ptr<Stream> Win32Platform::HoldOwnImage() {
  const std::wstring module = ModuleFileName();
  ScopedHandle file(CreateFileW(module.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseLastError(kCannotOpenFile, ExePath());
  if (!IsRunningImage(file.Get())) Raise(kSetupProgramReplaced, ERROR_FILE_INVALID);
  return std::make_unique<FileStream>(std::move(file));
}

std::string Win32Platform::CreatePrivateFolder(const std::string& parent) {
  std::wstring base = FullPath(WidePath(parent));
  while (base.size() > 3 && base.back() == L'\\') base.pop_back();
  if (PassesThroughLink(base)) Raise(Format(kUnsafeFolder, parent), ERROR_ACCESS_DENIED);
  if (base.back() != L'\\') base += L'\\';

  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  ScopedDescriptor descriptor(nullptr, &LocalFree);
  if (RunsAsAdministrator()) {
    descriptor = Descriptor(kAdministratorsOnly);
    if (!descriptor) RaiseLastError(kCannotCreateFile, parent);
    security.lpSecurityDescriptor = descriptor.get();
  }
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::wstring folder = base + RandomFolderName();
    if (CreateDirectoryW(folder.c_str(), &security)) return PathFromWide(folder);
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  RaiseLastError(kCannotCreateFile, parent);
}

std::unique_ptr<Stream> Win32Platform::CreateNewFile(const std::string& path) {
  // CREATE_NEW fails on any name that is taken, a link in the file's place included.
  ScopedHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) RaiseLastError(kCannotCreateFile, path);
  return std::make_unique<FileStream>(std::move(file));
}

std::unique_ptr<Stream> Win32Platform::HoldForRead(const std::string& path) {
  ScopedHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseLastError(kCannotOpenFile, path);
  return std::make_unique<FileStream>(std::move(file));
}

bool Win32Platform::CreateProtectedFolder(const std::string& path) {
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  ScopedDescriptor descriptor(nullptr, &LocalFree);
  if (RunsAsAdministrator()) {
    descriptor = Descriptor(kLikeProgramFiles);
    // Without it the folder would be open to whoever may write its parent: better none.
    if (!descriptor) return false;
    security.lpSecurityDescriptor = descriptor.get();
  }
  return CreateDirectoryW(FileSystemPath(path).c_str(), &security) != FALSE;
}

std::unique_ptr<Stream> Win32Platform::CreateProtectedFile(const std::string& path) {
  const std::wstring wide = FileSystemPath(path);
  // Truncating a file in place would keep its owner and access list, and write through a hard
  // link to another file; so whatever is there goes, and CREATE_NEW refuses anything that
  // comes back in between, a link included.
  DeleteFileW(wide.c_str());
  const bool administrator = RunsAsAdministrator();
  DWORD error = ERROR_SUCCESS;
  for (const wchar_t* text : {kAdministratorsOnlyFile, kAdministratorsOnlyFileDefaultOwner}) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    ScopedDescriptor descriptor(nullptr, &LocalFree);
    if (administrator) {
      descriptor = Descriptor(text);
      if (!descriptor) RaiseLastError(kCannotCreateFile, path);
      security.lpSecurityDescriptor = descriptor.get();
    }
    ScopedHandle file(CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  &security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return std::make_unique<FileStream>(std::move(file));
    error = GetLastError();
    // A token that may not make the Administrators owner: the access list still protects the
    // file, though a reader will not act on it.
    if (!administrator || error != ERROR_INVALID_OWNER) break;
  }
  Raise(Format(kCannotCreateFile, path), error);
}

bool Win32Platform::OnlyAdministratorsCanChange(const Stream& file) const {
  const auto* stream = dynamic_cast<const FileStream*>(&file);
  return stream && OnlyAdministratorsMayChangeFile(stream->handle());
}

}  // namespace sys::win32
