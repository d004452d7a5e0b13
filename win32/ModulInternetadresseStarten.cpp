#include "win32/ModulInternetadresseStarten.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "win32/Com.h"
#include "win32/LateBound.h"

namespace ModulInternetadresseStarten {

std::intptr_t InternetadresseStarten(const std::wstring& adresse,
                                     const std::wstring& eigenesVerzeichnis) {
  const ComApartment apartment;
  // Wide all the way: an ANSI detour would change or drop characters the code page cannot hold.
  const std::wstring verzeichnis = eigenesVerzeichnis.substr(0, 3);
  const HINSTANCE result =
      SHELL32(ShellExecuteW)(USER32(GetDesktopWindow)(), L"Open", adresse.c_str(), L"",
                             verzeichnis.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace ModulInternetadresseStarten
