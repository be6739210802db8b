#include "ui/win32/GdiCache.h"

#include <windows.h>

#include "ui/Control.h"
#include "ui/win32/Win32Internal.h"

namespace ui::win32 {

HFONT GdiCache::FontFor(const Font& font) {
  int height = font.Height > 0 ? MulDiv(font.Height, dpi_, 96) : MulDiv(font.Size, dpi_, 72);
  auto key = std::make_tuple(font.Name, height, font.Underline, font.Bold);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.Get();
  LOGFONTW description{};
  description.lfHeight = -height;
  description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = font.Underline ? TRUE : FALSE;
  description.lfCharSet = GB2312_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  std::wstring face = Wide(font.Name);
  lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
  return fonts_.emplace(key, CreateFontIndirectW(&description)).first->second.Get();
}

uint32_t GdiCache::ColorRef(uint32_t color) {
  return IsSystemColor(color) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

HBRUSH GdiCache::BrushFor(uint32_t color) {
  if (IsSystemColor(color)) return GetSysColorBrush(static_cast<int>(color & 0xFF));
  auto found = brushes_.find(color);
  if (found != brushes_.end()) return found->second.Get();
  return brushes_.emplace(color, CreateSolidBrush(color)).first->second.Get();
}

}  // namespace ui::win32
