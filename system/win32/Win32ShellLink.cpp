// Shell links of Win32Platform: the shell link object through IShellLinkW, saved with
// IPersistFile.
#include <string>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {

bool Win32Platform::WriteShellLink(const std::string& path, const ShellLink& link) {
  ComPtr<IShellLinkW> shellLink;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.ReceiveVoid());
  if (FAILED(hr)) RaiseComError(hr);
  ComPtr<IPersistFile> file;
  hr = shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
  if (FAILED(hr)) RaiseComError(hr);

  // The setters' results are not checked: a link with a field missing is still worth saving,
  // and Save reports whether anything was written.
  shellLink->SetShowCmd(link.showCommand);
  shellLink->SetArguments(ToWide(link.arguments).c_str());
  shellLink->SetDescription(ToWide(link.description).c_str());
  shellLink->SetPath(WidePath(link.target).c_str());
  shellLink->SetWorkingDirectory(WidePath(link.workingDirectory).c_str());
  // FALSE: the saved file does not become the object's current file.
  return SUCCEEDED(file->Save(WidePath(path).c_str(), FALSE));
}

}  // namespace sys::win32
