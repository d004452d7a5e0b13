// The DLL's binding of win32/LateBound.h. The exe loads a system DLL on first use and keeps it
// for the life of its process; a guest must not: it uses only what is loaded already (by its own
// imports, or by a guest::SystemLibraries held around the step that needs it) and takes no
// reference of its own. A function or DLL that is not there is an error the entry turns into a
// status, never an end of the installer's process.
#include "win32/LateBound.h"

#include "win32/dll/GuestFailure.h"

namespace quillet::late_bound {

HMODULE Module(const wchar_t* dll) {
  const std::wstring path = SystemPath(dll);
  // By full path: a same-named DLL the installer loaded from elsewhere is not the one we mean.
  HMODULE module = path.empty() ? nullptr : ::GetModuleHandleW(path.c_str());
  if (module == nullptr) throw guest::Failure("system DLL not loaded");
  return module;
}

std::wstring SystemPath(const wchar_t* dll) {
  wchar_t directory[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  return std::wstring(directory, length) + L"\\" + dll;
}

FARPROC Function(const wchar_t* dll, const char* name) {
  FARPROC proc = ::GetProcAddress(Module(dll), name);
  if (proc == nullptr) throw guest::Failure("system function missing");
  return proc;
}

}  // namespace quillet::late_bound
