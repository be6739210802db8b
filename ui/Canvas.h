// Canvas: what a form's OnPaint may draw on. The backends implement it (a device context on
// win32, a record of the calls headless).
#pragma once

namespace ui {

class Picture;

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Draws the picture over the whole client area of the form being painted.
  virtual void DrawPictureStretched(const Picture& picture) = 0;
};

}  // namespace ui
