#include "system/win32/FileStream.h"

#include <algorithm>

#include <windows.h>

#include "system/Error.h"
#include "system/win32/Win32Error.h"

namespace sys::win32 {
namespace {

// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces.
constexpr size_t kMaxPiece = 1u << 30;

}  // namespace

size_t FileStream::Read(void* buffer, size_t count) {
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    DWORD piece = static_cast<DWORD>(std::min(count - done, kMaxPiece));
    DWORD got = 0;
    if (!ReadFile(file_.Get(), out + done, piece, &got, nullptr)) RaiseLastError(kStreamReadError);
    if (got == 0) break;
    done += got;
  }
  return done;
}

void FileStream::Write(const void* buffer, size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < count) {
    DWORD piece = static_cast<DWORD>(std::min(count - done, kMaxPiece));
    DWORD put = 0;
    if (!WriteFile(file_.Get(), in + done, piece, &put, nullptr)) RaiseLastError(kStreamWriteError);
    // A short write without an error code is the volume running out of room.
    if (put == 0) Raise(kStreamWriteError, ERROR_DISK_FULL);
    done += put;
  }
}

void FileStream::Seek(int64_t position) {
  LARGE_INTEGER to;
  to.QuadPart = position;
  if (!SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN)) RaiseLastError(kStreamReadError);
}

int64_t FileStream::Position() const {
  LARGE_INTEGER zero{};
  LARGE_INTEGER at{};
  if (!SetFilePointerEx(file_.Get(), zero, &at, FILE_CURRENT)) RaiseLastError(kStreamReadError);
  return at.QuadPart;
}

int64_t FileStream::Size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file_.Get(), &size)) RaiseLastError(kStreamReadError);
  return size.QuadPart;
}

bool FileStream::SetLastWriteTime(uint64_t utc) {
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(utc);
  t.dwHighDateTime = static_cast<DWORD>(utc >> 32);
  return SetFileTime(file_.Get(), nullptr, nullptr, &t) != FALSE;
}

}  // namespace sys::win32
