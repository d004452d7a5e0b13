#include "registry/LateBound.h"

namespace late_bound {

HMODULE Module(const wchar_t* dll) {
  // From the system directory only, never from the folder the installer put us in.
  HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) module = ::LoadLibraryW(dll);  // systems without the search flags
  if (module == nullptr) ::FatalAppExitW(0, L"Quillet: Windows-Bibliothek nicht gefunden.");
  return module;
}

}  // namespace late_bound
