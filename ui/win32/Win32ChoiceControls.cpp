// The peers of the check-list box (a list view with check boxes), the document view of the
// browser pane (a rich-edit control) and the folder tree (a tree view with the shell's icons
// and display names, filled as nodes open). What a person does comes back through the portable
// paths: a mark clicked calls ClickCheck, a selection calls SelectByPerson.
#include "ui/win32/Win32Internal.h"

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include "system/Platform.h"
#include "system/win32/DllSearch.h"
#include "ui/BrowserPane.h"
#include "ui/CheckListBox.h"
#include "ui/FolderTree.h"

namespace ui::win32 {

namespace {

// Posted to the list view itself, so the portable click runs after the list view's own
// notification has finished.
constexpr UINT kClickMark = WM_APP + 41;

class CheckListPeer : public WindowPeer {
 public:
  CheckListPeer(Win32Backend& backend, CheckListBox& box) : WindowPeer(backend, box), box_(box) {
    Create(WC_LISTVIEWW,
           LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
           box_.BorderNone() ? 0 : WS_EX_CLIENTEDGE);
    if (!window_) return;
    SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = backend_.Scale(box_.Width());
    SendMessageW(window_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    ApplyRowHeight();
    Rebuild();
  }

  void Changed(Change what) override {
    if (!window_) return;
    if (what == Change::Text) {
      Rebuild();
    } else if (what == Change::Checked) {
      ApplyChecks();
    } else if (what == Change::Style) {
      ApplyRowHeight();
      LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
      exStyle = box_.BorderNone() ? (exStyle & ~WS_EX_CLIENTEDGE) : (exStyle | WS_EX_CLIENTEDGE);
      SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle);
      SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      WindowPeer::Changed(what);
      if (what == Change::Bounds) {
        SendMessageW(window_, LVM_SETCOLUMNWIDTH, 0, backend_.Scale(box_.Width()));
      }
    }
  }

  // The list view changes a mark by itself; the change is refused and handed to the portable
  // click instead, whose handler decides and whose state the view then shows.
  bool NotifyMessage(void* header, intptr_t& result) override {
    auto* change = static_cast<NMLISTVIEW*>(header);
    if (change->hdr.code != LVN_ITEMCHANGING || quiet_) return false;
    if (!(change->uChanged & LVIF_STATE) ||
        !((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)) {
      return false;
    }
    PostMessageW(window_, kClickMark, static_cast<WPARAM>(change->iItem), 0);
    result = TRUE;
    return true;
  }

  bool Handle(unsigned message, uintptr_t wParam, intptr_t, intptr_t& result) override {
    if (message != kClickMark) return false;
    int index = static_cast<int>(wParam);
    if (index >= 0 && index < box_.Count()) box_.ClickCheck(index);
    result = 0;
    return true;
  }

 private:
  // A list view's rows are one pixel higher than its small images: an empty image list one
  // pixel wide and a row less one pixel high sets the height (the list view frees it with
  // itself).
  void ApplyRowHeight() {
    using CreateFn = HIMAGELIST(WINAPI*)(int, int, UINT, int, int);
    auto create = reinterpret_cast<CreateFn>(reinterpret_cast<void*>(
        GetProcAddress(sys::win32::LoadSystemLibrary(L"comctl32.dll"), "ImageList_Create")));
    if (!create || box_.ItemHeight() <= 0) return;
    HIMAGELIST rows = create(1, backend_.Scale(box_.ItemHeight()) - 1, ILC_COLOR, 0, 0);
    auto old = reinterpret_cast<HIMAGELIST>(
        SendMessageW(window_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rows)));
    using DestroyFn = BOOL(WINAPI*)(HIMAGELIST);
    auto destroy = reinterpret_cast<DestroyFn>(reinterpret_cast<void*>(
        GetProcAddress(sys::win32::LoadSystemLibrary(L"comctl32.dll"), "ImageList_Destroy")));
    if (old && destroy) destroy(old);
  }

  void Rebuild() {
    quiet_ = true;
    SendMessageW(window_, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < box_.Count(); ++i) {
      std::wstring caption = Wide(box_.ItemCaption(i));
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = caption.data();
      SendMessageW(window_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    quiet_ = false;
    ApplyChecks();
  }

  void ApplyChecks() {
    quiet_ = true;
    for (int i = 0; i < box_.Count(); ++i) {
      LVITEMW item{};
      item.stateMask = LVIS_STATEIMAGEMASK;
      item.state = INDEXTOSTATEIMAGEMASK(box_.Checked(i) ? 2 : 1);
      SendMessageW(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&item));
    }
    quiet_ = false;
  }

  CheckListBox& box_;
  bool quiet_ = false;
};

// The rich-edit class this system offers: msftedit's (4.1) where it exists, else riched20's,
// else none (a plain multi-line edit shows the text then). Loaded once from the system folder.
const wchar_t* RichEditClass() {
  static const wchar_t* className = []() -> const wchar_t* {
    if (sys::win32::LoadSystemLibrary(L"msftedit.dll")) return L"RICHEDIT50W";
    if (sys::win32::LoadSystemLibrary(L"riched20.dll")) return L"RichEdit20W";
    return nullptr;
  }();
  return className;
}

struct StreamSource {
  const std::string* bytes;
  size_t offset;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  size_t left = source->bytes->size() - source->offset;
  size_t count = std::min(left, static_cast<size_t>(std::max<LONG>(wanted, 0)));
  std::copy_n(source->bytes->data() + source->offset, count, buffer);
  source->offset += count;
  *given = static_cast<LONG>(count);
  return 0;
}

// Plain text goes in as GBK decoded through code page 936, whatever the system's code page
// (UTF-8 when the document says so); rich text is streamed in as it is (its own \ansicpg names
// its code page); HTML shows as its text, since no web browser control is hosted here.
class DocumentPeer : public WindowPeer {
 public:
  DocumentPeer(Win32Backend& backend, BrowserPane& pane) : WindowPeer(backend, pane), pane_(pane) {
    backdrop_ = Backdrop::OwnColor;
    rich_ = RichEditClass() != nullptr;
    Create(rich_ ? RichEditClass() : L"EDIT",
           ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    if (!window_) return;
    if (rich_)
      SendMessageW(window_, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(BrowserPane::kMaxBytes));
    ShowDocument();
  }

  void Changed(Change what) override {
    if (!window_) return;
    if (what == Change::Text) {
      ShowDocument();
    } else {
      WindowPeer::Changed(what);
    }
  }

  // A read-only view: it takes arrows and PgDn but leaves Tab, Enter and Alt+letter to the
  // dialog manager, so the wizard's buttons stay reachable by keys while it has the focus.
  bool Handle(unsigned message, uintptr_t, intptr_t, intptr_t& result) override {
    if (message != WM_GETDLGCODE) return false;
    result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    return true;
  }

 private:
  void ShowDocument() {
    if (rich_ && pane_.Format() == DocumentFormat::RichText) {
      StreamSource source{&pane_.Content(), 0};
      EDITSTREAM stream{};
      stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
      stream.pfnCallback = ReadStream;
      SendMessageW(window_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
      return;
    }
    // An edit control wants CR LF line ends.
    std::string text;
    const std::string& shown = pane_.Text();
    for (size_t i = 0; i < shown.size(); ++i) {
      if (shown[i] == '\n' && (i == 0 || shown[i - 1] != '\r')) text += '\r';
      text += shown[i];
    }
    SetWindowTextW(window_, (pane_.Utf8() ? FromUtf8(text) : Wide(text)).c_str());
  }

  static std::wstring FromUtf8(const std::string& utf8) {
    if (utf8.empty()) return {};
    int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(0, length)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
  }

  BrowserPane& pane_;
  bool rich_ = false;
};

// The folder tree. Each node keeps its folder path (lParam indexes paths_); children are
// listed when the node first opens. A tree rooted at the desktop offers the drives under it.
class FolderTreePeer : public WindowPeer {
 public:
  FolderTreePeer(Win32Backend& backend, FolderTree& tree) : WindowPeer(backend, tree), tree_(tree) {
    Create(WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS | WS_TABSTOP,
           WS_EX_CLIENTEDGE);
    if (!window_) return;
    SendMessageW(window_, TVM_SETINDENT, static_cast<WPARAM>(backend_.Scale(tree_.Indent())), 0);
    SHFILEINFOW info{};
    auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (images)
      SendMessageW(window_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    Fill();
  }

  void Changed(Change what) override {
    if (!window_) return;
    if (what == Change::Text) {
      Fill();
    } else if (what != Change::Checked) {
      WindowPeer::Changed(what);
    }
  }

  bool NotifyMessage(void* header, intptr_t& result) override {
    auto* change = static_cast<NMTREEVIEWW*>(header);
    if (change->hdr.code == TVN_ITEMEXPANDINGW) {
      if (change->action & TVE_EXPAND) Open(change->itemNew.hItem, change->itemNew.lParam);
      result = FALSE;
      return true;
    }
    if (change->hdr.code == NM_RCLICK) {
      // A right click selects the folder under the pointer, as a left click does.
      TVHITTESTINFO hit{};
      DWORD where = GetMessagePos();
      hit.pt = {static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
      ScreenToClient(window_, &hit.pt);
      auto item = reinterpret_cast<HTREEITEM>(
          SendMessageW(window_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (item && (hit.flags & TVHT_ONITEM)) {
        SendMessageW(window_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      }
      result = TRUE;
      return true;
    }
    if (change->hdr.code == TVN_SELCHANGEDW && !filling_) {
      size_t index = static_cast<size_t>(change->itemNew.lParam);
      if (index < paths_.size()) tree_.SelectByPerson(names_[index], paths_[index]);
      result = 0;
      return true;
    }
    return false;
  }

 private:
  struct Shown {
    std::string name;
    int icon = 0;
  };

  Shown ShellView(const std::string& path) const {
    SHFILEINFOW info{};
    Shown shown;
    std::wstring wide = Wide(path);
    if (SHGetFileInfoW(wide.c_str(), 0, &info, sizeof(info),
                       SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
      shown.name = Narrow(info.szDisplayName);
      shown.icon = info.iIcon;
    }
    if (shown.name.empty()) shown.name = FolderTree::DisplayNameOf(path);
    return shown;
  }

  HTREEITEM Insert(HTREEITEM parent, const std::string& path) {
    Shown shown = ShellView(path);
    paths_.push_back(path);
    names_.push_back(shown.name);
    opened_.push_back(false);
    std::wstring text = Wide(shown.name);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = text.data();
    insert.item.lParam = static_cast<LPARAM>(paths_.size() - 1);
    insert.item.cChildren = 1;
    insert.item.iImage = shown.icon;
    insert.item.iSelectedImage = shown.icon;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }

  void Fill() {
    filling_ = true;
    SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    paths_.clear();
    names_.clear();
    opened_.clear();
    std::string root = tree_.RootFolder();
    HTREEITEM item = Insert(TVI_ROOT, root);
    if (tree_.Root().empty()) {
      // The desktop: the drives come first, as under the computer.
      wchar_t drives[128] = {};
      DWORD length = GetLogicalDriveStringsW(127, drives);
      for (const wchar_t* drive = drives; length && length < 128 && *drive;
           drive += wcslen(drive) + 1) {
        Insert(item, Narrow(drive));
      }
      opened_[0] = true;
      for (const std::string& name : tree_.Subfolders(root)) Insert(item, root + "\\" + name);
    }
    SendMessageW(window_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    filling_ = false;
  }

  void Open(HTREEITEM item, LPARAM param) {
    size_t index = static_cast<size_t>(param);
    if (index >= opened_.size() || opened_[index]) return;
    opened_[index] = true;
    std::string folder = paths_[index];
    std::string prefix = !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
    std::vector<std::string> names = tree_.Subfolders(folder);
    for (const std::string& name : names) Insert(item, prefix + name);
    if (names.empty()) {
      TVITEMW none{};
      none.mask = TVIF_CHILDREN | TVIF_HANDLE;
      none.hItem = item;
      none.cChildren = 0;
      SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&none));
    }
  }

  FolderTree& tree_;
  std::vector<std::string> paths_;
  std::vector<std::string> names_;
  std::vector<bool> opened_;
  bool filling_ = false;
};

}  // namespace

std::unique_ptr<Peer> MakeCheckListPeer(Win32Backend& backend, Control& box) {
  return std::make_unique<CheckListPeer>(backend, static_cast<CheckListBox&>(box));
}

std::unique_ptr<Peer> MakeDocumentPeer(Win32Backend& backend, Control& pane) {
  return std::make_unique<DocumentPeer>(backend, static_cast<BrowserPane&>(pane));
}

std::unique_ptr<Peer> MakeFolderTreePeer(Win32Backend& backend, Control& tree) {
  return std::make_unique<FolderTreePeer>(backend, static_cast<FolderTree&>(tree));
}

}  // namespace ui::win32
