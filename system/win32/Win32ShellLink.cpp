// Shell links of Win32Platform: the shell link object through IShellLinkW, saved with
// IPersistFile, or with IPersistStream into memory (the same bytes a .lnk file holds) for the
// writes that go through WriteNewFileBelow.
#include <string>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

ComPtr<IShellLinkW> MakeLink(const ShellLink& link) {
  ComPtr<IShellLinkW> shellLink;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.ReceiveVoid());
  if (FAILED(hr)) RaiseComError(hr);
  // The setters' results are not checked: a link with a field missing is still worth saving,
  // and Save reports whether anything was written.
  shellLink->SetShowCmd(link.showCommand);
  shellLink->SetArguments(ToWide(link.arguments).c_str());
  shellLink->SetDescription(ToWide(link.description).c_str());
  shellLink->SetPath(WidePath(link.target).c_str());
  shellLink->SetWorkingDirectory(WidePath(link.workingDirectory).c_str());
  return shellLink;
}

}  // namespace

bool Win32Platform::WriteShellLink(const std::string& path, const ShellLink& link) {
  ComPtr<IShellLinkW> shellLink = MakeLink(link);
  ComPtr<IPersistFile> file;
  HRESULT hr = shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
  if (FAILED(hr)) RaiseComError(hr);
  // FALSE: the saved file does not become the object's current file.
  return SUCCEEDED(file->Save(WidePath(path).c_str(), FALSE));
}

std::optional<std::string> Win32Platform::ShellLinkBytes(const ShellLink& link) {
  ComPtr<IShellLinkW> shellLink = MakeLink(link);
  ComPtr<IPersistStream> persist;
  HRESULT hr = shellLink->QueryInterface(IID_IPersistStream, persist.ReceiveVoid());
  if (FAILED(hr)) RaiseComError(hr);
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive())) ||
      FAILED(persist->Save(stream.Get(), TRUE))) {
    return std::nullopt;
  }
  // The memory block may be larger than what was written; the stream's position is the size.
  ULARGE_INTEGER size{};
  HGLOBAL memory = nullptr;
  if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size)) ||
      FAILED(GetHGlobalFromStream(stream.Get(), &memory)) || size.QuadPart > GlobalSize(memory)) {
    return std::nullopt;
  }
  const void* bytes = GlobalLock(memory);
  if (!bytes) return std::nullopt;
  std::string content(static_cast<const char*>(bytes), static_cast<size_t>(size.QuadPart));
  GlobalUnlock(memory);
  return content;
}

}  // namespace sys::win32
