// Calls into the window, shell and OLE DLLs, bound when first called. A silent run needs none
// of them, and under Wine (as on a cold Windows) loading them at process start costs more than
// all of the registry work: a silent install took 1.8 times as long as its registry calls alone.
// Only kernel32, advapi32 and the C runtime are imported the ordinary way.
#pragma once

#include <windows.h>

#include <string>

namespace quillet {

namespace late_bound {

// The module `dll` (a system DLL). The exe loads it on first use from the system directory and
// keeps it for the life of the process; the DLL only finds one that is loaded already.
HMODULE Module(const wchar_t* dll);

// The full path of `dll` in the system directory; empty when that directory cannot be found.
std::wstring SystemPath(const wchar_t* dll);

// The function `name` of `dll`; never null. The exe's binding ends the process for a missing
// one (a broken system, rather than a call through null); the DLL's binding
// (win32/dll/GuestLateBound.cpp) reports it to the entry instead.
FARPROC Function(const wchar_t* dll, const char* name);

// The function `name` of `dll`, typed as `F`.
template <typename F>
F Proc(const wchar_t* dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(Function(dll, name)));
}

}  // namespace late_bound

// USER32(MessageBoxW)(...) calls MessageBoxW through late binding, with its own signature. The
// name goes through one more macro so that aliases such as GetWindowLongPtrW, which <windows.h>
// maps to GetWindowLongW on 32-bit Windows, are looked up under the name the DLL exports.
#define QUILLET_LATE_NAME(fn) #fn
#define USER32(fn) \
  (::quillet::late_bound::Proc<decltype(&::fn)>(L"user32.dll", QUILLET_LATE_NAME(fn)))
#define GDI32(fn) \
  (::quillet::late_bound::Proc<decltype(&::fn)>(L"gdi32.dll", QUILLET_LATE_NAME(fn)))
#define SHELL32(fn) \
  (::quillet::late_bound::Proc<decltype(&::fn)>(L"shell32.dll", QUILLET_LATE_NAME(fn)))
#define OLE32(fn) \
  (::quillet::late_bound::Proc<decltype(&::fn)>(L"ole32.dll", QUILLET_LATE_NAME(fn)))
#define OLEAUT32(fn) \
  (::quillet::late_bound::Proc<decltype(&::fn)>(L"oleaut32.dll", QUILLET_LATE_NAME(fn)))

}  // namespace quillet
