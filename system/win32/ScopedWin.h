// Move-only owners of Win32 resources: kernel handles, registry keys, shell memory, COM
// interfaces. Each closes its resource exactly once, in its destructor or on Reset.
// Kept free of <windows.h>: handles are spelled by their underlying types, which the .cpp files
// (the only ones that see the Windows headers) convert implicitly.
#pragma once

#include <utility>

struct HKEY__;

namespace sys::win32 {

template <typename Traits>
class Scoped {
 public:
  using Value = typename Traits::Value;

  Scoped() = default;
  explicit Scoped(Value value) : value_(value) {}
  ~Scoped() { Reset(); }
  Scoped(Scoped&& other) noexcept : value_(other.Release()) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = other.Release();
    }
    return *this;
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;

  Value Get() const { return value_; }
  explicit operator bool() const { return Traits::IsValid(value_); }
  // For APIs that return the resource through an out-parameter.
  Value* Receive() {
    Reset();
    return &value_;
  }
  Value Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset() {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = Traits::Invalid();
  }

 private:
  Value value_ = Traits::Invalid();
};

// CloseHandle. Both null and INVALID_HANDLE_VALUE mean "no handle", since APIs differ in which
// one they return on failure.
struct HandleTraits {
  using Value = void*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value h) { return h != nullptr && h != reinterpret_cast<Value>(-1); }
  static void Close(Value h);
};
using ScopedHandle = Scoped<HandleTraits>;

// FindClose: the handle of FindFirstFileW, which fails with INVALID_HANDLE_VALUE.
struct FindTraits {
  using Value = void*;
  static Value Invalid() { return reinterpret_cast<Value>(-1); }
  static bool IsValid(Value h) { return h != reinterpret_cast<Value>(-1) && h != nullptr; }
  static void Close(Value h);
};
using ScopedFindHandle = Scoped<FindTraits>;

// RegCloseKey.
struct KeyTraits {
  using Value = HKEY__*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value k) { return k != nullptr; }
  static void Close(Value k);
};
using ScopedKey = Scoped<KeyTraits>;

void FreeCoTaskMem(void* p);

// CoTaskMemFree: item id lists and strings the shell allocates.
template <typename T>
struct CoTaskMemTraits {
  using Value = T*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value p) { return p != nullptr; }
  static void Close(Value p) { FreeCoTaskMem(p); }
};
template <typename T>
using ScopedCoTaskMem = Scoped<CoTaskMemTraits<T>>;

// LocalFree: CommandLineToArgvW's array.
struct LocalMemTraits {
  using Value = wchar_t**;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value p) { return p != nullptr; }
  static void Close(Value p);
};
using ScopedArgv = Scoped<LocalMemTraits>;

// SysFreeString.
struct BstrTraits {
  using Value = wchar_t*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value s) { return s != nullptr; }
  static void Close(Value s);
};
using ScopedBstr = Scoped<BstrTraits>;

// A COM interface pointer, released once. T is any interface with Release().
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** Receive() {
    Reset();
    return &p_;
  }
  // For CoCreateInstance and QueryInterface, which take void**.
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

// COM on this thread in a single-threaded apartment, for the object's lifetime. S_FALSE (already
// initialised here) still needs its CoUninitialize; RPC_E_CHANGED_MODE (someone chose
// multithreaded) does not, and COM works there too.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace sys::win32
