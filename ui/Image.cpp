#include "ui/Image.h"

#include <utility>

namespace ui {

bool Image::LoadFromFile(const std::string& path) {
  bool loaded = picture_.LoadFromFile(path);
  Notify(Change::Picture);
  return loaded;
}

bool Image::LoadFromBytes(std::string bytes) {
  bool loaded = picture_.LoadFromBytes(std::move(bytes));
  Notify(Change::Picture);
  return loaded;
}

void Image::SetTransparent(bool transparent) { Assign(transparent_, transparent, Change::Style); }

void Image::SetStretch(bool stretch) { Assign(stretch_, stretch, Change::Style); }

}  // namespace ui
