#include "win32/ModulInternetadresseStarten.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "win32/Com.h"
#include "win32/LateBound.h"

namespace quillet::ModulInternetadresseStarten {

std::intptr_t InternetadresseStarten(const std::wstring& address,
                                     const std::wstring& ownDirectory) {
  const ComApartment apartment;
  // Wide all the way: an ANSI detour would change or drop characters the code page cannot hold.
  const std::wstring directory = ownDirectory.substr(0, 3);
  const HINSTANCE result = SHELL32(ShellExecuteW)(
      USER32(GetDesktopWindow)(), L"Open", address.c_str(), L"", directory.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace quillet::ModulInternetadresseStarten
