// A move-only owner of one Windows handle, in the shape of WIL's unique_any: the type names the
// function that closes the handle, copying is deleted, so every handle is closed exactly once.
// The owners of the product and the end-to-end driver are all made here, so each close call
// appears here and nowhere else.
#pragma once

#include <windows.h>
// After windows.h, which they need (WIN32_LEAN_AND_MEAN leaves oleauto.h out).
#include <msi.h>
#include <oleauto.h>

#include <utility>

#include "win32/LateBound.h"

namespace quillet {

// What an owner takes for "no handle": null for most, INVALID_HANDLE_VALUE for files and
// searches. Part of the owner's type, so no caller maps one to the other by hand.
template <typename T>
struct NullIsInvalid {
  static T Invalid() { return T{}; }
};
struct MinusOneIsInvalid {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
};

template <typename T, auto Close, typename Traits = NullIsInvalid<T>>
class unique_handle {
 public:
  unique_handle() = default;
  explicit unique_handle(T handle) : handle_(handle) {}
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_handle() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }

  // Closes the handle held so far (if any) and takes `handle`. The member is cleared before the
  // close call, so a close that calls back into the owner (DestroyWindow sends WM_NCDESTROY)
  // finds it empty.
  void reset(T handle = Traits::Invalid()) {
    const T old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Close(old);
  }
  // Where a call that hands out a new handle stores it; the one held so far is closed.
  T* put() {
    reset();
    return &handle_;
  }
  // Gives the handle up without closing it.
  T release() { return std::exchange(handle_, Traits::Invalid()); }

 private:
  T handle_ = Traits::Invalid();
};

// The window and GDI functions are bound late (win32/LateBound.h), so the owners close
// through these rather than through the functions' addresses.
inline void DestroyWindowLate(HWND window) { USER32(DestroyWindow)(window); }
inline void DeleteObjectLate(HGDIOBJ object) { GDI32(DeleteObject)(object); }
inline void DestroyIconLate(HICON icon) { USER32(DestroyIcon)(icon); }
using unique_hwnd = unique_handle<HWND, &DestroyWindowLate>;
using unique_hfont = unique_handle<HFONT, &DeleteObjectLate>;
using unique_hbitmap = unique_handle<HBITMAP, &DeleteObjectLate>;
using unique_hicon = unique_handle<HICON, &DestroyIconLate>;
// Kernel objects that CreateXxx returns as NULL on failure (mutexes, events, processes).
using unique_kernel_handle = unique_handle<HANDLE, &::CloseHandle>;
// CreateFile's files and FindFirstFile's searches: INVALID_HANDLE_VALUE on failure.
using unique_file = unique_handle<HANDLE, &::CloseHandle, MinusOneIsInvalid>;
using unique_find = unique_handle<HANDLE, &::FindClose, MinusOneIsInvalid>;
using unique_hkey = unique_handle<HKEY, &::RegCloseKey>;
// Memory the system handed out with LocalAlloc (security descriptors and SIDs from the string
// conversions and GetSecurityInfo).
inline void LocalFreeMemory(void* memory) { ::LocalFree(memory); }
using unique_local = unique_handle<void*, &LocalFreeMemory>;
// The private namespace of the add-on list's lock and its boundary. Closing the last handle of
// the namespace removes it and with it the mutex's name.
inline void DeleteBoundary(HANDLE boundary) { ::DeleteBoundaryDescriptor(boundary); }
inline void CloseNamespace(HANDLE space) { ::ClosePrivateNamespace(space, 0); }
using unique_boundary = unique_handle<HANDLE, &DeleteBoundary>;
using unique_namespace = unique_handle<HANDLE, &CloseNamespace>;
// A DLL loaded by LoadLibrary, unloaded with its owner.
using unique_hmodule = unique_handle<HMODULE, &::FreeLibrary>;

// A BSTR from the OLE Automation conversions; oleaut32 is bound late.
inline void SysFreeStringLate(BSTR text) { OLEAUT32(SysFreeString)(text); }
using unique_bstr = unique_handle<BSTR, &SysFreeStringLate>;

// A record of an installer session. msi.dll is not imported: it is loaded (from the system
// directory) only around an MSI action, by the session that makes the records, and found here
// by its full path. A session that lacks MsiCloseHandle makes no record.
inline void CloseMsiHandleLate(MSIHANDLE handle) {
  wchar_t path[MAX_PATH + 16] = {};
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return;
  ::lstrcpyW(path + length, L"\\msi.dll");
  const HMODULE msi = ::GetModuleHandleW(path);
  const FARPROC close = msi == nullptr ? nullptr : ::GetProcAddress(msi, "MsiCloseHandle");
  if (close != nullptr) {
    reinterpret_cast<decltype(&::MsiCloseHandle)>(reinterpret_cast<void*>(close))(handle);
  }
}
using unique_msi_handle = unique_handle<MSIHANDLE, &CloseMsiHandleLate>;

// The screen's device context from USER32(GetDC)(nullptr), given back to the window manager.
inline void ReleaseScreenDc(HDC dc) { USER32(ReleaseDC)(nullptr, dc); }
using unique_screen_dc = unique_handle<HDC, &ReleaseScreenDc>;

}  // namespace quillet
