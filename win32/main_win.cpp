// The Windows program: one pass from start to exit, whose result is the exit status. This is
// the only place that ends the process; it prints nothing.
#include <windows.h>

#include "app/Pass.h"
#include "win32/DllSearchOrder.h"
#include "win32/ExeFrontend.h"
#include "win32/Win32Locale.h"
#include "win32/Win32Registry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // First of all, before anything can load a DLL by name; held until everything that could
  // load one is gone.
  const std::vector<quillet::unique_hmodule> preloaded =
      quillet::RestrictDllSearch(quillet::FindSetDefaultDllDirectories());
  quillet::ModulRegistrierung::Win32Registry registry;
  quillet::ModulRegistrierung::Win32Locale locale;
  quillet::ExeFrontend frontend(instance);
  // The window and every handle are gone before the runtime ends the process with this.
  return static_cast<int>(
      quillet::RunPass(frontend, quillet::Stores{registry, locale}, quillet::ArgumentText()));
}
