#include "ui/win32/PictureDrawer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <objidl.h>

#include "system/win32/DllSearch.h"
#include "system/win32/ScopedWin.h"
#include "ui/Picture.h"
#include "ui/win32/GdiCache.h"
#include "ui/win32/ScopedGdi.h"

namespace ui::win32 {

namespace {

// The flat GDI+ API, declared here because it is resolved at run time.
struct GdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};
using GdiplusStartupFn = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using GdiplusShutdownFn = void(WINAPI*)(ULONG_PTR);
using CreateBitmapFromStreamFn = int(WINAPI*)(IStream*, void**);
using CreateHbitmapFromBitmapFn = int(WINAPI*)(void*, HBITMAP*, DWORD);
using DisposeImageFn = int(WINAPI*)(void*);

template <class F>
F Resolve(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// GlobalFree, until CreateStreamOnHGlobal takes the memory over.
struct GlobalMemoryTraits {
  using Value = HGLOBAL;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value memory) { return memory != nullptr; }
  static void Close(Value memory) { GlobalFree(memory); }
};

// A picture as GDI+ decoded it, kept as a GDI bitmap composed over its background.
struct DecodedBitmap : Picture::Decoded {
  ScopedGdiObject<HBITMAP__> bitmap;
  int width = 0;
  int height = 0;
  uint32_t background = 0;
  bool transparent = false;
};

// Makes every pixel of the bitmap's bottom-left colour the background's, which is what a
// transparent bitmap shows there.
void KeyOutCorner(HBITMAP bitmap, int width, int height, COLORREF background) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  ScopedGetDc screen(nullptr);
  if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                DIB_RGB_COLORS) != height) {
    return;
  }
  uint32_t key = pixels[static_cast<size_t>(height - 1) * static_cast<size_t>(width)] & 0xFFFFFF;
  uint32_t shown =
      (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
  for (uint32_t& pixel : pixels) {
    if ((pixel & 0xFFFFFF) == key) pixel = shown;
  }
  SetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
            DIB_RGB_COLORS);
}

// The bytes as a COM stream over memory of its own.
sys::win32::ComPtr<IStream> StreamOver(const std::string& bytes) {
  sys::win32::ComPtr<IStream> stream;
  sys::win32::Scoped<GlobalMemoryTraits> memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  if (!memory) return stream;
  void* target = GlobalLock(memory.Get());
  if (!target) return stream;
  memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(memory.Get());
  if (SUCCEEDED(CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Receive()))) memory.Release();
  return stream;
}

}  // namespace

PictureDrawer::~PictureDrawer() {
  if (!gdiplusToken_) return;
  if (auto shutdown = Resolve<GdiplusShutdownFn>(gdiplus_, "GdiplusShutdown")) shutdown(gdiplusToken_);
}

bool PictureDrawer::StartGdiplus() {
  if (!gdiplusTried_) {
    gdiplusTried_ = true;
    gdiplus_ = sys::win32::LoadSystemLibrary(L"gdiplus.dll");
    GdiplusStartupInput input;
    auto startup = Resolve<GdiplusStartupFn>(gdiplus_, "GdiplusStartup");
    ULONG_PTR token = 0;
    if (startup && startup(&token, &input, nullptr) == 0) gdiplusToken_ = token;
  }
  return gdiplusToken_ != 0;
}

void PictureDrawer::Draw(HDC dc, const Picture& picture, int left, int top, int width, int height,
                         bool stretch, bool transparent, uint32_t background) {
  if (picture.Empty()) return;
  transparent = transparent && picture.Format() == PictureFormat::Bitmap;
  auto* decoded = static_cast<DecodedBitmap*>(picture.GetDecoded());
  if (!decoded || decoded->background != background || decoded->transparent != transparent) {
    if (!StartGdiplus()) return;
    auto fromStream = Resolve<CreateBitmapFromStreamFn>(gdiplus_, "GdipCreateBitmapFromStream");
    auto toHbitmap = Resolve<CreateHbitmapFromBitmapFn>(gdiplus_, "GdipCreateHBITMAPFromBitmap");
    auto dispose = Resolve<DisposeImageFn>(gdiplus_, "GdipDisposeImage");
    if (!fromStream || !toHbitmap || !dispose) return;
    sys::win32::ComPtr<IStream> stream = StreamOver(picture.Bytes());
    if (!stream) return;
    void* bitmap = nullptr;
    if (fromStream(stream.Get(), &bitmap) != 0 || !bitmap) return;
    auto fresh = std::make_unique<DecodedBitmap>();
    COLORREF rgb = GdiCache::ColorRef(background);
    DWORD argb = 0xFF000000u | (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
    toHbitmap(bitmap, fresh->bitmap.Receive(), argb);
    dispose(bitmap);
    if (!fresh->bitmap) return;
    BITMAP info{};
    GetObjectW(fresh->bitmap.Get(), sizeof(info), &info);
    fresh->width = info.bmWidth;
    fresh->height = info.bmHeight;
    fresh->background = background;
    fresh->transparent = transparent;
    if (transparent) KeyOutCorner(fresh->bitmap.Get(), fresh->width, fresh->height, rgb);
    decoded = fresh.get();
    picture.SetDecoded(std::move(fresh));
  }
  ScopedMemoryDc memoryDc(CreateCompatibleDC(dc));
  ScopedSelect selected(memoryDc.Get(), decoded->bitmap.Get());
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  if (stretch) {
    StretchBlt(dc, left, top, width, height, memoryDc.Get(), 0, 0, decoded->width,
               decoded->height, SRCCOPY);
  } else {
    // At its own size: the part of the picture that fits, scaled as the form is.
    int shownWidth = std::min(width, MulDiv(decoded->width, dpi_, 96));
    int shownHeight = std::min(height, MulDiv(decoded->height, dpi_, 96));
    StretchBlt(dc, left, top, shownWidth, shownHeight, memoryDc.Get(), 0, 0,
               MulDiv(shownWidth, 96, dpi_), MulDiv(shownHeight, 96, dpi_), SRCCOPY);
  }
}

}  // namespace ui::win32
