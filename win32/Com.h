// Owners for COM, as UniqueHandle.h has them for handles (the BSTR among them): the calling
// thread's apartment and an interface pointer released exactly once. ole32 and oleaut32 are
// bound late (win32/LateBound.h).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include <utility>

#include "win32/LateBound.h"
#include "win32/UniqueHandle.h"

namespace quillet {

// The shell may hand an address to a handler that is a COM object, and talks to the desktop
// through COM; both expect the calling thread to be in an apartment.
class ComApartment {
 public:
  ComApartment()
      : initialized_(SUCCEEDED(
            OLE32(CoInitializeEx)(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialized_) OLE32(CoUninitialize)();
  }

 private:
  bool initialized_;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Where a call that hands out a new reference stores it; the one held so far is released.
  T** put() {
    reset();
    return &pointer_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  void reset() {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  T* pointer_ = nullptr;
};

}  // namespace quillet
