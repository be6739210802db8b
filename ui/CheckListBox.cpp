#include "ui/CheckListBox.h"

#include "ui/Backend.h"
#include "ui/ProgramError.h"

namespace ui {

CheckListBox::CheckListBox(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
  SetColor(kClWhite);
  SetBounds(0, 0, 97, 97);
}

const CheckListBox::Item& CheckListBox::At(int index) const {
  if (index < 0 || index >= Count()) {
    throw ProgramError(Name() + ": no item " + std::to_string(index));
  }
  return items_[static_cast<size_t>(index)];
}

void CheckListBox::SetChecked(int index, bool checked) {
  if (At(index).checked == checked) return;
  items_[static_cast<size_t>(index)].checked = checked;
  Notify(Change::Checked);
}

int CheckListBox::AddItem(const std::string& caption, const void* data, bool checked) {
  items_.push_back({caption, checked, data});
  Notify(Change::Text);
  return Count() - 1;
}

void CheckListBox::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Notify(Change::Text);
}

void CheckListBox::ClickCheck(int index) {
  At(index);
  if (!CanAct()) return;
  Item& item = items_[static_cast<size_t>(index)];
  item.checked = !item.checked;
  Notify(Change::Checked);
  Dispatch([this] {
    if (OnClickCheck) OnClickCheck();
  });
}

void CheckListBox::SetItemHeight(int height) { Assign(itemHeight_, height, Change::Style); }

void CheckListBox::SetBorderNone(bool none) { Assign(borderNone_, none, Change::Style); }

}  // namespace ui
