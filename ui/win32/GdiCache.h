// The fonts and brushes of the Windows backend, made once per distinct font or colour and kept
// until the backend goes, so a repaint never creates a GDI object. Fonts are scaled with the
// DPI here and use the GB2312 character set; system colours come from the system's own brushes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "ui/win32/ScopedGdi.h"

struct HBRUSH__;
struct HFONT__;

namespace ui {

struct Font;

namespace win32 {

class GdiCache {
 public:
  explicit GdiCache(int dpi) : dpi_(dpi) {}

  HFONT__* FontFor(const Font& font);
  HBRUSH__* BrushFor(uint32_t color);
  // A COLORREF for our colour (system colours resolved).
  static uint32_t ColorRef(uint32_t color);

 private:
  int dpi_;
  std::map<std::tuple<std::string, int, bool, bool>, ScopedGdiObject<HFONT__>> fonts_;
  std::map<uint32_t, ScopedGdiObject<HBRUSH__>> brushes_;
};

}  // namespace win32
}  // namespace ui
