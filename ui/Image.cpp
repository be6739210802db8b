#include "ui/Image.h"

namespace ui {

bool Image::LoadFromFile(const std::string& path) {
  bool loaded = picture_.LoadFromFile(path);
  Notify(Change::Picture);
  return loaded;
}

void Image::SetStretch(bool stretch) {
  if (stretch == stretch_) return;
  stretch_ = stretch;
  Notify(Change::Style);
}

}  // namespace ui
