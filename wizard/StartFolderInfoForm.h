// The folder-browse dialog of the start-menu and install-folder pages: a folder tree rooted at
// Root (the desktop unless set) and an edit box with the value. Picking a folder puts its
// display name (tfkStart) or its file-system path (tfkFolder; empty for a virtual folder) into
// the edit box. Enter closes with OK from any control, Esc cancels; the opener reads Value
// after OK. It lives for one modal run.
#pragma once

#include <string>

#include "ui/Form.h"

namespace ui {
class Button;
class Edit;
class FolderTree;
class Label;
}  // namespace ui

enum TStartFolderKindEnum { tfkStart, tfkFolder };

class TfrmStartFolderInfo : public ui::Form {
 public:
  static constexpr const char* kClassName = "TfrmStartFolderInfo";
  static constexpr int kKeyEnter = 13;
  static constexpr int kKeyEscape = 27;
  explicit TfrmStartFolderInfo(ui::Backend& backend);

  std::string Value() const;
  void SetValue(const std::string& value);
  const std::string& Root() const;
  void SetRoot(const std::string& root);
  TStartFolderKindEnum GetKind() const { return kind_; }
  void SetKind(TStartFolderKindEnum kind) { kind_ = kind; }

  ui::Label* Label1;
  ui::Edit* Edit1;
  ui::FolderTree* ShellTreeView1;
  ui::Button* BitBtn1;
  ui::Button* BitBtn2;

  void ShellTreeView1Change();
  void FormKeyDown(int key);

 private:
  TStartFolderKindEnum kind_ = tfkStart;
};

namespace wizard {

// The top-level window a control sits in (a page's frame), for centring a dialog on it.
ui::Form& TopLevelForm(ui::Control& control);

}  // namespace wizard
