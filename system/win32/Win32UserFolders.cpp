// Writes and removals of Win32Platform below a folder the user can change (the contract is in
// Platform.h). Every level below the anchor is opened with FILE_FLAG_OPEN_REPARSE_POINT, so a
// junction or symbolic link is opened as itself and seen, and held without FILE_SHARE_DELETE,
// so it can be neither renamed nor deleted (and thus not swapped for a link) until the work is
// done. The final path of each handle must be the anchor's final path followed by the names
// meant; a removal sets the delete disposition on the checked handle itself.
//
// Before Vista there is no GetFinalPathNameByHandleW and no SetFileInformationByHandle: the
// held, checked levels are the defence there, and the item itself is deleted by name.
#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

using FinalPathFunction = DWORD(WINAPI*)(HANDLE, wchar_t*, DWORD, DWORD);
using SetInformationFunction = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
constexpr int kFileDispositionInfo = 4;
struct DispositionInfo {
  BOOLEAN deleteFile;
};

template <typename Function>
Function FromKernel32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// Readers and writers may share the levels; nobody may rename or delete them while held. The
// share mode binds others only when the holder's access includes reading, writing or deleting
// (an attributes-only handle binds nobody), hence the levels are held with list access.
constexpr DWORD kHeldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kHeldAccess = FILE_LIST_DIRECTORY;

ScopedHandle OpenAsItIs(const std::wstring& path, DWORD access, DWORD sharing, DWORD disposition) {
  return ScopedHandle(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, sharing, nullptr,
                                  disposition,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                  nullptr));
}

std::optional<DWORD> AttributesOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return info.dwFileAttributes;
}

bool IsLinkOrUnknown(HANDLE handle) {
  std::optional<DWORD> attributes = AttributesOf(handle);
  return !attributes || (*attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The path Windows resolved the handle to, without its "\\?\" prefix; nullopt where the system
// cannot tell (before Vista), empty when it fails.
std::optional<std::wstring> FinalPath(HANDLE handle) {
  static const auto finalPath = FromKernel32<FinalPathFunction>("GetFinalPathNameByHandleW");
  if (!finalPath) return std::nullopt;
  std::wstring buffer(MAX_PATH + 1, L'\0');
  DWORD n = finalPath(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (n >= buffer.size()) {
    buffer.assign(n + 1, L'\0');
    n = finalPath(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  if (n == 0 || n >= buffer.size()) return std::wstring();
  buffer.resize(n);
  if (buffer.starts_with(L"\\\\?\\UNC\\")) return L"\\" + buffer.substr(7);
  if (buffer.starts_with(L"\\\\?\\")) return buffer.substr(4);
  return buffer;
}

// The item goes when the handle closes; false (with the error) when the system refuses, such
// as a folder that is not empty.
bool DeleteByHandle(HANDLE handle, const std::wstring& path, bool folder) {
  static const auto setInformation =
      FromKernel32<SetInformationFunction>("SetFileInformationByHandle");
  if (!setInformation) {
    return folder ? RemoveDirectoryW(path.c_str()) != FALSE : DeleteFileW(path.c_str()) != FALSE;
  }
  DispositionInfo info{TRUE};
  return setInformation(handle, kFileDispositionInfo, &info, sizeof(info)) != FALSE;
}

// The anchor and the folders below it down to a path, each opened as it is and held.
class HeldLevels {
 public:
  // false unless path lies below anchor by plain names ("." and ".." included).
  bool Split(const std::string& anchor, const std::string& path) {
    anchor_ = WidePath(anchor);
    while (anchor_.size() > 3 && anchor_.back() == L'\\') anchor_.pop_back();
    const std::wstring full = WidePath(path);
    if (full.size() <= anchor_.size() + 1 || full[anchor_.size()] != L'\\' ||
        _wcsnicmp(full.c_str(), anchor_.c_str(), anchor_.size()) != 0) {
      return false;
    }
    size_t start = anchor_.size() + 1;
    while (start <= full.size()) {
      size_t end = full.find(L'\\', start);
      if (end == std::wstring::npos) end = full.size();
      const std::wstring name = full.substr(start, end - start);
      if (name.empty() || name == L"." || name == L"..") return false;
      names_.push_back(name);
      start = end + 1;
    }
    return true;
  }

  // Opens the anchor (following links: the known folder is taken as it is) and the first count
  // levels below it, creating missing ones when create is set; false when any is a link, no
  // folder or not where meant.
  bool Hold(size_t count, bool create) {
    ScopedHandle anchor(CreateFileW(anchor_.c_str(), kHeldAccess, kHeldSharing, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!anchor) return false;
    anchorFinal_ = FinalPath(anchor.Get());
    held_.push_back(std::move(anchor));
    for (size_t level = 1; level <= count; ++level) {
      const std::wstring path = PathOf(level);
      ScopedHandle folder = OpenAsItIs(path, kHeldAccess, kHeldSharing, OPEN_EXISTING);
      if (!folder && create && CreateDirectoryW(path.c_str(), nullptr)) {
        folder = OpenAsItIs(path, kHeldAccess, kHeldSharing, OPEN_EXISTING);
      }
      if (!folder || !IsFolderWhereMeant(folder.Get(), level)) return false;
      held_.push_back(std::move(folder));
    }
    return true;
  }

  // Whether the handle is a real folder (not a link) at the path of that level.
  bool IsFolderWhereMeant(HANDLE handle, size_t level) const {
    std::optional<DWORD> attributes = AttributesOf(handle);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLinkOrUnknown(handle) &&
           IsWhereMeant(handle, level);
  }

  // Whether the handle's final path is the anchor's followed by the names of the levels.
  bool IsWhereMeant(HANDLE handle, size_t level) const {
    if (!anchorFinal_) return true;
    std::wstring meant = *anchorFinal_;
    for (size_t i = 0; i < level; ++i) meant += L"\\" + names_[i];
    const std::optional<std::wstring> actual = FinalPath(handle);
    return actual && !meant.empty() && _wcsicmp(actual->c_str(), meant.c_str()) == 0;
  }

  // The path of a level: 0 the anchor, names().size() the path itself.
  std::wstring PathOf(size_t level) const {
    std::wstring path = anchor_;
    for (size_t i = 0; i < level; ++i) path += L"\\" + names_[i];
    return path;
  }

  size_t Depth() const { return names_.size(); }

 private:
  std::wstring anchor_;
  std::vector<std::wstring> names_;
  std::optional<std::wstring> anchorFinal_;
  std::vector<ScopedHandle> held_;
};

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

bool Win32Platform::CreateFoldersBelow(const std::string& anchor, const std::string& path) {
  HeldLevels levels;
  return levels.Split(anchor, path) && levels.Hold(levels.Depth(), true);
}

bool Win32Platform::WriteNewFileBelow(const std::string& anchor, const std::string& path,
                                      const std::string& bytes) {
  HeldLevels levels;
  if (!levels.Split(anchor, path) || !levels.Hold(levels.Depth() - 1, false)) return false;
  const std::wstring leaf = levels.PathOf(levels.Depth());
  // CREATE_NEW with FILE_FLAG_OPEN_REPARSE_POINT: a name planted meanwhile, a link included,
  // fails the creation instead of being followed or overwritten.
  ScopedHandle file(CreateFileW(leaf.c_str(), GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, 0,
                                nullptr, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return false;
  if (levels.IsWhereMeant(file.Get(), levels.Depth()) && WriteAll(file.Get(), bytes)) return true;
  DeleteByHandle(file.Get(), leaf, false);
  return false;
}

Removal Win32Platform::RemoveBelow(const std::string& anchor, const std::string& path) {
  HeldLevels levels;
  if (!levels.Split(anchor, path) || !levels.Hold(levels.Depth() - 1, false)) return Removal::Failed;
  const std::wstring leaf = levels.PathOf(levels.Depth());
  ScopedHandle item = OpenAsItIs(leaf, DELETE, kHeldSharing | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!item || IsLinkOrUnknown(item.Get()) || !levels.IsWhereMeant(item.Get(), levels.Depth())) {
    return Removal::Failed;
  }
  const bool folder = (*AttributesOf(item.Get()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // A folder's delete disposition is refused at once while anything is in it.
  if (DeleteByHandle(item.Get(), leaf, folder)) return Removal::Removed;
  return GetLastError() == ERROR_DIR_NOT_EMPTY ? Removal::NotEmpty : Removal::Failed;
}

}  // namespace sys::win32
