#include "tests/support/win32/ShellLinkReader.h"

#include <cstring>
#include <stdexcept>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"

namespace sys::win32::tests {
namespace {

// The header's show command: a little-endian 32-bit value at 0x3C of the 76-byte header.
int ShowCommandInFile(const std::wstring& path) {
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  unsigned char header[0x4C] = {};
  DWORD got = 0;
  if (!file || !ReadFile(file.Get(), header, sizeof header, &got, nullptr) || got != sizeof header) {
    throw std::runtime_error("shell link header unreadable");
  }
  return header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24;
}

}  // namespace

ShellLink ReadShellLink(const std::string& path) {
  std::wstring widePath = WidePath(path);
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.ReceiveVoid()))) {
    throw std::runtime_error("no shell link object");
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) ||
      FAILED(file->Load(widePath.c_str(), STGM_READ))) {
    throw std::runtime_error("shell link does not load: " + path);
  }
  wchar_t buffer[MAX_PATH * 2];
  ShellLink result;
  WIN32_FIND_DATAW found;
  // The item id list first: it holds the target's names in UTF-16, while Wine's link info block
  // has them only in the ANSI code page ("?" for Chinese under code page 1252).
  ScopedCoTaskMem<ITEMIDLIST> pidl;
  if (SUCCEEDED(link->GetIDList(pidl.Receive())) && pidl && SHGetPathFromIDListW(pidl.Get(), buffer)) {
    result.target = FromWide(buffer);
  } else if (SUCCEEDED(link->GetPath(buffer, MAX_PATH * 2, &found, SLGP_RAWPATH))) {
    result.target = FromWide(buffer);
  }
  if (SUCCEEDED(link->GetArguments(buffer, MAX_PATH * 2))) result.arguments = FromWide(buffer);
  if (SUCCEEDED(link->GetDescription(buffer, MAX_PATH * 2))) result.description = FromWide(buffer);
  if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH * 2))) {
    result.workingDirectory = FromWide(buffer);
  }
  result.showCommand = ShowCommandInFile(widePath);
  return result;
}

}  // namespace sys::win32::tests
