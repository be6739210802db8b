#include "ui/Memo.h"

namespace ui {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

}  // namespace

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

void Memo::SetReadOnly(bool readOnly) {
  if (readOnly == readOnly_) return;
  readOnly_ = readOnly;
  Notify(Change::ReadOnly);
}

void Memo::SetScrollBars(ui::ScrollBars bars) {
  if (bars == scrollBars_) return;
  scrollBars_ = bars;
  Notify(Change::Style);
}

void Memo::SetBorderNone(bool none) {
  if (none == borderNone_) return;
  borderNone_ = none;
  Notify(Change::Style);
}

}  // namespace ui
