// Move-only owners of the GDI and window resources the Windows backend holds: GDI objects
// (fonts, brushes, bitmaps), memory device contexts, a window's device context borrowed with
// GetDC, an object selected into a device context for a while, and windows of our own.
// Built on sys::win32::Scoped, and like it free of <windows.h>.
#pragma once

#include "system/win32/ScopedWin.h"

struct HDC__;
struct HWND__;

namespace ui::win32 {

void DeleteGdiObject(void* object);

// DeleteObject: T is HFONT__, HBRUSH__ or HBITMAP__.
template <typename T>
struct GdiObjectTraits {
  using Value = T*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value object) { return object != nullptr; }
  static void Close(Value object) { DeleteGdiObject(object); }
};
template <typename T>
using ScopedGdiObject = sys::win32::Scoped<GdiObjectTraits<T>>;

// DeleteDC: a device context of CreateCompatibleDC.
struct MemoryDcTraits {
  using Value = HDC__*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value dc) { return dc != nullptr; }
  static void Close(Value dc);
};
using ScopedMemoryDc = sys::win32::Scoped<MemoryDcTraits>;

// DestroyWindow.
struct WindowTraits {
  using Value = HWND__*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value window) { return window != nullptr; }
  static void Close(Value window);
};
using ScopedWindow = sys::win32::Scoped<WindowTraits>;

// GetDC for a window (null: the screen), ReleaseDC when it goes.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND__* window);
  ~ScopedGetDc();
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;
  HDC__* Get() const { return dc_; }

 private:
  HWND__* window_;
  HDC__* dc_;
};

// SelectObject for a while; the previous object goes back in when this goes.
class ScopedSelect {
 public:
  ScopedSelect(HDC__* dc, void* object);
  ~ScopedSelect();
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC__* dc_;
  void* old_;
};

}  // namespace ui::win32
