// CheckListBox: a list of items, each with a check mark, a caption and data the program
// attaches (not owned by the box).
//
// Check rule: SetChecked from code fires nothing. A person's click on a mark, ClickCheck(i),
// toggles that mark and fires OnClickCheck inside ui::Dispatch, only while the box can be acted
// on (enabled and visible, its parents too); the handler reads the marks and may set them back.
// The win32 peer calls ClickCheck for a click on a mark or the space bar.
#pragma once

#include <string>
#include <vector>

#include "ui/Form.h"

namespace ui {

class CheckListBox : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::CheckListBox;
  CheckListBox(Form& owner, const std::string& name);

  struct Item {
    std::string caption;
    bool checked = false;
    const void* data = nullptr;
  };

  int Count() const { return static_cast<int>(items_.size()); }
  const std::vector<Item>& Items() const { return items_; }
  // Index checks: an index outside 0..Count()-1 throws ProgramError.
  const std::string& ItemCaption(int index) const { return At(index).caption; }
  const void* Data(int index) const { return At(index).data; }
  bool Checked(int index) const { return At(index).checked; }
  void SetChecked(int index, bool checked);
  // Appends an item; returns its index.
  int AddItem(const std::string& caption, const void* data = nullptr, bool checked = false);
  void Clear();
  // The person's click on the mark of item index.
  void ClickCheck(int index);

  // Height of one row in 96-DPI pixels.
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  bool BorderNone() const { return borderNone_; }
  void SetBorderNone(bool none);

  std::function<void()> OnClickCheck;

 private:
  const Item& At(int index) const;

  std::vector<Item> items_;
  int itemHeight_ = 16;
  bool borderNone_ = false;
};

}  // namespace ui
