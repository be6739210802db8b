// Label: static text. With AutoSize (the default) its size follows its caption and font: the
// 96-DPI size of the text in 宋体, whose characters are half as wide as high for every GBK byte
// (ASCII one byte, Chinese two), one line per CR LF. WordWrap keeps the width and grows the
// height instead. The win32 peer measures the real font and sizes the window to it, so no text
// is clipped whatever the font substitutes.
#pragma once

#include "ui/Form.h"

namespace ui {

class Label : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Label;
  Label(Form& owner, const std::string& name);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);

 protected:
  void AdjustSize() override;

 private:
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
};

}  // namespace ui
