// The real registry and locale, as every host hands them to the pass.
#pragma once

#include "app/Pass.h"
#include "win32/Win32Locale.h"
#include "win32/Win32Registry.h"

namespace quillet::guest {

struct GuestStores {
  ModulRegistrierung::Win32Registry registry;
  ModulRegistrierung::Win32Locale locale;
  Stores stores() { return Stores{registry, locale}; }
};

}  // namespace quillet::guest
