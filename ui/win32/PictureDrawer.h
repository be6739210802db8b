// Pictures on Windows: decoded once by GDI+ (gdiplus.dll, loaded from the system folder when the
// first picture is drawn) into a GDI bitmap composed over its background, kept with the picture
// and drawn from there on. Without GDI+ a picture draws nothing.
#pragma once

#include <cstdint>

struct HDC__;
struct HINSTANCE__;

namespace ui {

class Picture;

namespace win32 {

class PictureDrawer {
 public:
  explicit PictureDrawer(int dpi) : dpi_(dpi) {}
  ~PictureDrawer();
  PictureDrawer(const PictureDrawer&) = delete;
  PictureDrawer& operator=(const PictureDrawer&) = delete;

  // Draws the picture into the rectangle, over background: stretched over it, or at its own
  // size scaled with the DPI from its top-left corner, clipped to it. transparent: a bitmap's
  // bottom-left colour shows the background instead.
  void Draw(HDC__* dc, const Picture& picture, int left, int top, int width, int height,
            bool stretch, bool transparent, uint32_t background);

 private:
  bool StartGdiplus();

  int dpi_;
  bool gdiplusTried_ = false;
  HINSTANCE__* gdiplus_ = nullptr;
  uintptr_t gdiplusToken_ = 0;
};

}  // namespace win32
}  // namespace ui
