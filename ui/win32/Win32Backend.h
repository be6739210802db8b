// The Windows backend: every visual control is a standard window (buttons, check boxes, edits,
// statics, common-controls progress bars) so screen readers name them; panels, forms and the
// gauge are windows of our own classes; images are drawn by their parent window.
//
// Texts go through UTF-16 with code page 936 and the W functions, so captions read right on
// every Windows locale. Geometry and fonts are scaled once, by MulDiv(x, dpi, 96). Forms use
// the 宋体 9-point GB2312 font, "&" accelerators and tab order in creation order; neither Enter
// nor Esc acts on a form. Pictures are decoded by GDI+ and music played through MCI, both
// loaded from the system folder at run time, as is comctl32. The progress of a bar also shows
// on the taskbar button where ITaskbarList3 exists.
#pragma once

#include <memory>

#include "ui/Backend.h"

namespace ui {

// dpi 0: the screen's. Tests give one to check the scaling.
std::unique_ptr<Backend> MakeWin32Backend(int dpi = 0);
// The HWND of a control's peer, null for non-visual and window-less controls (for tests).
void* WindowOf(const Control& control);

}  // namespace ui
