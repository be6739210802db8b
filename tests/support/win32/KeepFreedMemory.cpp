#include "tests/support/win32/KeepFreedMemory.h"

#include <stdexcept>

#include <windows.h>
#include <objbase.h>

namespace sys::win32::tests {
namespace {

// A malloc spy that passes everything through; while keeping, frees become nothing.
class FreeNothingSpy final : public IMallocSpy {
 public:
  bool keeping = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IMallocSpy) {
      *out = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Static lifetime: COM's references never free it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* block) override { return block; }
  void* STDMETHODCALLTYPE PreFree(void* block, BOOL) override { return keeping ? nullptr : block; }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** actual, BOOL) override {
    *actual = block;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override { return block; }
  void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

FreeNothingSpy spy;

}  // namespace

KeepFreedMemory::KeepFreedMemory() {
  if (FAILED(CoRegisterMallocSpy(&spy))) throw std::runtime_error("a malloc spy is registered");
  spy.keeping = true;
}

// COM keeps a revoked spy until the blocks allocated under it are freed, so from here on it
// lets frees through.
KeepFreedMemory::~KeepFreedMemory() {
  spy.keeping = false;
  CoRevokeMallocSpy();
}

}  // namespace sys::win32::tests
