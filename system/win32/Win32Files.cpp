// Files and folders of Win32Platform. Every file-system call takes FileSystemPath, so paths past
// MAX_PATH work.
#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/win32/FileStream.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool IsDirectory(const std::wstring& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The absolute form, so the walk up to the root below never meets a relative remainder.
std::wstring FullPath(const std::wstring& path) {
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(n);
  return full;
}

// Walks up to the deepest folder that exists, then creates the missing levels downwards. Only
// the lengths of the levels are kept, so a long hostile path costs no more than the path itself.
bool MakeDirectories(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  std::vector<size_t> missing;
  std::wstring level = path;
  while (!IsDirectory(level)) {
    missing.push_back(level.size());
    size_t cut = level.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut == 0) break;
    // "C:" names the drive's current folder; its root is "C:\".
    size_t parentSize = level[cut - 1] == L':' ? cut + 1 : cut;
    if (parentSize >= level.size()) break;
    level.resize(parentSize);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    CreateDirectoryW(path.substr(0, *it).c_str(), nullptr);
  }
  return IsDirectory(path);
}

FileTime FromFileTime(const FILETIME& t) {
  return (static_cast<FileTime>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FILETIME ToFileTime(FileTime t) {
  FILETIME f;
  f.dwLowDateTime = static_cast<DWORD>(t);
  f.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return f;
}

constexpr DWORD kGuardingAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool MoveOver(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) !=
         FALSE;
}

// The refusals of a target that is in use or protected, as opposed to a missing source or a
// full disk.
bool IsRefusal(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

// A free name beside the target for the old file; empty when none is found.
std::wstring AsideName(const std::wstring& target) {
  for (int n = 0; n < 100; ++n) {
    std::wstring candidate = target + L".~old" + ToWide(std::to_string(n));
    if (GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
  }
  return {};
}

// A running program or a loaded library cannot be overwritten or deleted, but Windows lets it be
// renamed within its folder: the old file steps aside, the new one takes its name, and the old
// one goes now or, while still in use, at the next restart. On any failure the old file gets its
// name back.
bool MoveInUseAside(const std::wstring& from, const std::wstring& to) {
  std::wstring aside = AsideName(to);
  if (aside.empty() || !MoveFileExW(to.c_str(), aside.c_str(), 0)) return false;
  if (!MoveOver(from, to)) {
    MoveFileExW(aside.c_str(), to.c_str(), 0);
    return false;
  }
  SetFileAttributesW(aside.c_str(), FILE_ATTRIBUTE_NORMAL);
  // Scheduling needs the rights of an elevated run; without them the old file stays behind,
  // which costs space but not the installation.
  if (!DeleteFileW(aside.c_str())) MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return true;
}

}  // namespace

bool Win32Platform::FileExists(const std::string& path) const {
  DWORD a = Attributes(FileSystemPath(path));
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::DirectoryExists(const std::string& path) const {
  return IsDirectory(FileSystemPath(path));
}

std::vector<std::string> Win32Platform::ListFolders(const std::string& path) const {
  std::vector<std::string> names;
  std::wstring pattern = WidePath(path);
  if (pattern.empty()) return names;
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  ScopedFindHandle find(FindFirstFileW(pattern.c_str(), &found));
  if (!find) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    names.push_back(FromWide(name));
  } while (FindNextFileW(find.Get(), &found));
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return AsciiLower(a) < AsciiLower(b);
  });
  return names;
}

bool Win32Platform::ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  return MakeDirectories(FullPath(FileSystemPath(path)));
}

std::unique_ptr<Stream> Win32Platform::OpenForRead(const std::string& path) {
  ScopedHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseLastError(kCannotOpenFile, path);
  return std::make_unique<FileStream>(std::move(file));
}

std::unique_ptr<Stream> Win32Platform::CreateForWrite(const std::string& path) {
  ScopedHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) RaiseLastError(kCannotCreateFile, path);
  return std::make_unique<FileStream>(std::move(file));
}

bool Win32Platform::RemoveFile(const std::string& path) {
  return DeleteFileW(FileSystemPath(path).c_str()) != FALSE;
}

Removal Win32Platform::RemoveEmptyFolder(const std::string& path) {
  if (RemoveDirectoryW(WidePath(path).c_str())) return Removal::Removed;
  return GetLastError() == ERROR_DIR_NOT_EMPTY ? Removal::NotEmpty : Removal::Failed;
}

bool Win32Platform::RemoveAtRestart(const std::string& path) {
  // The mark is kept as given until the next start, when no working folder applies any more.
  std::wstring full = FullPath(WidePath(path));
  return MoveFileExW(full.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool Win32Platform::CopyNewFile(const std::string& source, const std::string& target) {
  return CopyFileW(FileSystemPath(source).c_str(), FileSystemPath(target).c_str(), TRUE) != FALSE;
}

bool Win32Platform::MoveReplacing(const std::string& source, const std::string& target) {
  std::wstring from = FileSystemPath(source);
  std::wstring to = FileSystemPath(target);
  if (MoveOver(from, to)) return true;
  if (!IsRefusal(GetLastError())) return false;
  DWORD attributes = GetFileAttributesW(to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  // A read-only, hidden or system target refuses the move; it is replaced all the same.
  if (attributes & kGuardingAttributes) {
    DWORD cleared = attributes & ~kGuardingAttributes;
    SetFileAttributesW(to.c_str(), cleared ? cleared : FILE_ATTRIBUTE_NORMAL);
    if (MoveOver(from, to)) return true;
  }
  if (MoveInUseAside(from, to)) return true;
  SetFileAttributesW(to.c_str(), attributes);
  return false;
}

bool Win32Platform::SetLastWriteTime(const std::string& path, FileTime utc) {
  ScopedHandle file(CreateFileW(FileSystemPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  FILETIME t = ToFileTime(utc);
  return SetFileTime(file.Get(), nullptr, nullptr, &t) != FALSE;
}

std::optional<FileTime> Win32Platform::LastWriteTime(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  return FromFileTime(data.ftLastWriteTime);
}

FileTime Win32Platform::LocalToUtc(FileTime local) const {
  FILETIME in = ToFileTime(local);
  FILETIME out;
  if (!LocalFileTimeToFileTime(&in, &out)) return local;
  return FromFileTime(out);
}

int64_t Win32Platform::FreeDiskSpace(const std::string& root) const {
  ULARGE_INTEGER freeToCaller;
  if (!GetDiskFreeSpaceExW(FileSystemPath(root).c_str(), &freeToCaller, nullptr, nullptr)) {
    return -1;
  }
  return static_cast<int64_t>(freeToCaller.QuadPart);
}

}  // namespace sys::win32
