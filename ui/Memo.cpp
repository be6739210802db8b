#include "ui/Memo.h"

#include "ui/TextLines.h"

namespace ui {

Memo::Memo(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
  SetColor(kClWhite);
  SetBounds(0, 0, 185, 89);
}

void Memo::AddLine(const std::string& text) {
  std::vector<std::string> added = SplitLines(text);
  linesAdded_ = added.size();
  lines_.insert(lines_.end(), added.begin(), added.end());
  Notify(Change::LineAdded);
}

void Memo::Clear() {
  if (lines_.empty()) return;
  lines_.clear();
  Notify(Change::Text);
}

std::string Memo::Text() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines_[i];
  }
  return text;
}

void Memo::SetText(const std::string& text) {
  if (text.empty()) {
    Clear();
    return;
  }
  lines_ = SplitLines(text);
  Notify(Change::Text);
}

void Memo::TextTyped(const std::string& text) {
  lines_ = text.empty() ? std::vector<std::string>{} : SplitLines(text);
}

void Memo::SetReadOnly(bool readOnly) { Assign(readOnly_, readOnly, Change::ReadOnly); }

void Memo::SetScrollBars(ui::ScrollBars bars) { Assign(scrollBars_, bars, Change::Style); }

void Memo::SetBorderNone(bool none) { Assign(borderNone_, none, Change::Style); }

}  // namespace ui
