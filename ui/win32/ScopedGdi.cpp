#include "ui/win32/ScopedGdi.h"

#include <windows.h>

namespace ui::win32 {

void DeleteGdiObject(void* object) { DeleteObject(static_cast<HGDIOBJ>(object)); }
void MemoryDcTraits::Close(Value dc) { DeleteDC(dc); }
void WindowTraits::Close(Value window) { DestroyWindow(window); }

ScopedGetDc::ScopedGetDc(HWND window) : window_(window), dc_(GetDC(window)) {}

ScopedGetDc::~ScopedGetDc() {
  if (dc_) ReleaseDC(window_, dc_);
}

ScopedSelect::ScopedSelect(HDC dc, void* object)
    : dc_(dc), old_(dc ? SelectObject(dc, static_cast<HGDIOBJ>(object)) : nullptr) {}

ScopedSelect::~ScopedSelect() {
  if (dc_ && old_) SelectObject(dc_, static_cast<HGDIOBJ>(old_));
}

}  // namespace ui::win32
