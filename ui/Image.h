// Image: shows a picture (bitmap, JPEG, PNG or icon) at its own size from the top-left corner,
// or stretched over the control with Stretch. Usually aligned to the top or the client area.
#pragma once

#include "ui/Form.h"
#include "ui/Picture.h"

namespace ui {

class Image : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Image;
  Image(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
    SetBounds(0, 0, 105, 105);
  }

  // false (and no picture) when the file is missing, unreadable or not a picture; never throws.
  bool LoadFromFile(const std::string& path);
  bool HasPicture() const { return !picture_.Empty(); }
  const std::string& PicturePath() const { return picture_.Path(); }
  const ui::Picture& GetPicture() const { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);

 private:
  ui::Picture picture_;
  bool stretch_ = false;
};

}  // namespace ui
