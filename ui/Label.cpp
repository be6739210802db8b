#include "ui/Label.h"

#include <algorithm>

#include "ui/TextLines.h"

namespace ui {

namespace {

// Width of each line in bytes.
std::vector<int> LineLengths(const std::string& text) {
  std::vector<int> lengths;
  for (const std::string& line : SplitLines(text)) lengths.push_back(static_cast<int>(line.size()));
  return lengths;
}

}  // namespace

Label::Label(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
  AdjustSize();
}

void Label::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  AdjustSize();
  Notify(Change::Style);
}

void Label::SetWordWrap(bool wordWrap) {
  if (wordWrap == wordWrap_) return;
  wordWrap_ = wordWrap;
  AdjustSize();
  Notify(Change::Style);
}

void Label::SetTransparent(bool transparent) { Assign(transparent_, transparent, Change::Style); }

void Label::AdjustSize() {
  if (!autoSize_) return;
  int charHeight = GetFont().PixelHeight();
  int byteWidth = std::max(1, charHeight / 2);
  std::vector<int> lengths = LineLengths(Caption());
  if (wordWrap_ && Width() > 0) {
    int perLine = std::max(1, Width() / byteWidth);
    int lines = 0;
    for (int length : lengths) lines += std::max(1, (length + perLine - 1) / perLine);
    PlaceAt(Left(), Top(), Width(), lines * charHeight);
    return;
  }
  int widest = *std::max_element(lengths.begin(), lengths.end());
  PlaceAt(Left(), Top(), widest * byteWidth, static_cast<int>(lengths.size()) * charHeight);
}

}  // namespace ui
