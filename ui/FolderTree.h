// FolderTree: a tree of folders (folders only) rooted at Root, the desktop folder unless set.
// A node's children are listed only when the node is opened, so a tree of thousands of folders
// opens at once. Each node has a display name and a file-system path; a virtual folder of the
// shell (Computer, Control Panel) has a display name and an empty path.
//
// Selection rule: the person's selection comes in through SelectByPerson (the win32 peer on a
// selection change, the headless SelectFolder); it fires OnChange inside ui::Dispatch. There
// is no selection from code.
//
// The win32 peer lists the shell's namespace itself, with the shell's icons and display names;
// Subfolders (the portable listing, through sys::Platform::ListFolders) serves the headless
// backend, where the display name of a folder is its own name.
#pragma once

#include <string>
#include <vector>

#include "ui/Form.h"

namespace ui {

class FolderTree : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::FolderTree;
  FolderTree(Form& owner, const std::string& name);

  // Empty: the desktop.
  const std::string& Root() const { return root_; }
  void SetRoot(const std::string& root);
  // The folder the tree starts from: Root, or the desktop folder of the current platform.
  std::string RootFolder() const;

  const std::string& SelectedName() const { return selectedName_; }
  const std::string& SelectedPath() const { return selectedPath_; }
  bool HasSelection() const { return hasSelection_; }
  void SelectByPerson(const std::string& displayName, const std::string& path);

  // The folders inside path, by name (the portable listing; see above).
  std::vector<std::string> Subfolders(const std::string& path) const;
  // The display name of a folder path here: its last name ("C:" for a drive root).
  static std::string DisplayNameOf(const std::string& path);

  int Indent() const { return 19; }

  std::function<void()> OnChange;

 private:
  std::string root_;
  std::string selectedName_;
  std::string selectedPath_;
  bool hasSelection_ = false;
};

}  // namespace ui
