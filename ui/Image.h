// Image: shows a picture (bitmap, JPEG, PNG or icon) at its own size from the top-left corner,
// or stretched over the control with Stretch. Usually aligned to the top or the client area.
// A transparent image leaves the pixels of a bitmap's transparent colour (its bottom-left
// pixel's, as bitmaps carry it by convention) undrawn; PNG and icons bring their own alpha.
// The win32 backend scales a picture shown at its own size with the DPI, as it does the form.
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
  // A picture stored with the form (no file); false for unknown bytes.
  bool LoadFromBytes(std::string bytes);
  bool HasPicture() const { return !picture_.Empty(); }
  const std::string& PicturePath() const { return picture_.Path(); }
  const ui::Picture& GetPicture() const { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);

 private:
  ui::Picture picture_;
  bool stretch_ = false;
  bool transparent_ = false;
};

}  // namespace ui
