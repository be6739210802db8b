// Memo: multi-line text held as lines. Texts given to AddLine and SetText are split at CR LF
// (and lone LF or CR), as the edit control shows them: AddLine("  a\r\n") adds "  a" and an
// empty line. Text() joins the lines with CR LF. Lines added one by one reach the peer as
// additions, so a long detail log costs one append per line, not a rewrite of everything.
#pragma once

#include <string>
#include <vector>

#include "ui/Form.h"

namespace ui {

enum class ScrollBars { None, Vertical };

class Memo : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Memo;
  Memo(Form& owner, const std::string& name);

  const std::vector<std::string>& Lines() const { return lines_; }
  void AddLine(const std::string& text);
  void Clear();
  std::string Text() const;
  void SetText(const std::string& text);
  // The typing path: the text a person left in an editable memo (no handler, no echo).
  void TextTyped(const std::string& text);
  // How many lines the last AddLine appended (the peer appends only those).
  size_t LinesAdded() const { return linesAdded_; }

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  ui::ScrollBars GetScrollBars() const { return scrollBars_; }
  void SetScrollBars(ui::ScrollBars bars);
  bool BorderNone() const { return borderNone_; }
  void SetBorderNone(bool none);

 private:
  std::vector<std::string> lines_;
  size_t linesAdded_ = 0;
  bool readOnly_ = false;
  ui::ScrollBars scrollBars_ = ScrollBars::None;
  bool borderNone_ = false;
};

}  // namespace ui
