#include "ui/FolderTree.h"

#include "system/Gbk.h"
#include "system/Platform.h"
#include "ui/Backend.h"

namespace ui {

FolderTree::FolderTree(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
  SetColor(kClWhite);
  SetBounds(0, 0, 200, 200);
}

void FolderTree::SetRoot(const std::string& root) { Assign(root_, root, Change::Text); }

std::string FolderTree::RootFolder() const {
  return root_.empty() ? sys::CurrentPlatform().SpecialFolder(sys::kCsidlDesktop) : root_;
}

void FolderTree::SelectByPerson(const std::string& displayName, const std::string& path) {
  if (!CanAct()) return;
  selectedName_ = displayName;
  selectedPath_ = path;
  hasSelection_ = true;
  Notify(Change::Checked);
  Dispatch([this] {
    if (OnChange) OnChange();
  });
}

std::vector<std::string> FolderTree::Subfolders(const std::string& path) const {
  return sys::CurrentPlatform().ListFolders(path);
}

std::string FolderTree::DisplayNameOf(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '\\' &&
         sys::IsCharStart(trimmed, trimmed.size() - 1)) {
    trimmed.pop_back();
  }
  return sys::ExtractFileName(trimmed);
}

}  // namespace ui
