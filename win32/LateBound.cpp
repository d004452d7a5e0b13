#include "win32/LateBound.h"

namespace quillet::late_bound {

HMODULE Module(const wchar_t* dll) {
  // From the system directory only, never from the folder the installer put us in.
  HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems without the search flags refuse them; the full path keeps that folder out there
  // too, and the altered search path takes what the DLL itself imports from its own folder.
  if (module == nullptr) {
    const std::wstring path = SystemPath(dll);
    if (!path.empty())
      module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  if (module == nullptr) ::FatalAppExitW(0, L"Quillet: Windows-Bibliothek nicht gefunden.");
  return module;
}

FARPROC Function(const wchar_t* dll, const char* name) {
  FARPROC proc = ::GetProcAddress(Module(dll), name);
  if (proc == nullptr) ::FatalAppExitW(0, L"Quillet: Windows-Funktion nicht gefunden.");
  return proc;
}

std::wstring SystemPath(const wchar_t* dll) {
  wchar_t directory[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  return std::wstring(directory, length) + L"\\" + dll;
}

}  // namespace quillet::late_bound
