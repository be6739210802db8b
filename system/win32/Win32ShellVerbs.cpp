// The shell verbs of an item through the Shell.Application automation object: NameSpace of the
// item's folder, ParseName of its name, then its Verbs.
#include <string>

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlobj.h>

#include "system/Gbk.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&value_); }
  ~ScopedVariant() { VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  static ScopedVariant String(const std::wstring& text) {
    ScopedVariant v;
    v.value_.vt = VT_BSTR;
    v.value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
  }
  static ScopedVariant Integer(long number) {
    ScopedVariant v;
    v.value_.vt = VT_I4;
    v.value_.lVal = number;
    return v;
  }
  ScopedVariant(ScopedVariant&& other) noexcept : value_(other.value_) { other.value_.vt = VT_EMPTY; }

  const VARIANT& Get() const { return value_; }

 private:
  VARIANT value_;
};

void Check(HRESULT hr) {
  if (FAILED(hr)) RaiseComError(hr);
}

}  // namespace

void Win32Platform::ForEachShellVerb(const std::string& path,
                                     const std::function<bool(const std::string& name)>& invoke) {
  ComPtr<IShellDispatch> shell;
  Check(CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                         IID_IShellDispatch, shell.ReceiveVoid()));

  // The folder keeps its trailing backslash; the shell accepts it and it keeps "C:\" a root.
  ScopedVariant folderName = ScopedVariant::String(WidePath(ExtractFilePath(path)));
  ComPtr<Folder> folder;
  if (FAILED(shell->NameSpace(folderName.Get(), folder.Receive())) || !folder) return;
  ScopedBstr itemName(SysAllocString(ToWide(ExtractFileName(path)).c_str()));
  ComPtr<FolderItem> item;
  if (FAILED(folder->ParseName(itemName.Get(), item.Receive())) || !item) return;

  ComPtr<FolderItemVerbs> verbs;
  Check(item->Verbs(verbs.Receive()));
  if (!verbs) return;
  long count = 0;
  Check(verbs->get_Count(&count));
  for (long i = 0; i < count; ++i) {
    ComPtr<FolderItemVerb> verb;
    Check(verbs->Item(ScopedVariant::Integer(i).Get(), verb.Receive()));
    if (!verb) continue;
    ScopedBstr name;
    Check(verb->get_Name(name.Receive()));
    std::wstring_view wideName = name ? std::wstring_view(name.Get(), SysStringLen(name.Get()))
                                      : std::wstring_view();
    // Every matching verb is carried out, not only the first.
    if (invoke(FromWide(wideName))) Check(verb->DoIt());
  }
}

}  // namespace sys::win32
