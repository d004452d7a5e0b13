// Placeholder until this module is written.
#include "registry/ModulRegistrierung.h"

namespace ModulRegistrierung {
bool RegistryKeyExists(const RegistryContext&, RegKey, std::wstring_view) { return false; }
bool CreateRegistryKey(const RegistryContext&, RegKey, std::wstring_view, std::wstring_view) {
  return false;
}
bool WriteRegistryValue(const RegistryContext&, RegKey, std::wstring_view, std::wstring_view,
                        const RegistryValue&) {
  return false;
}
bool DeleteRegistryKey(const RegistryContext&, RegKey, std::wstring_view) { return false; }
bool ReadRegistryValue(const RegistryContext&, RegKey, std::wstring_view, std::wstring_view,
                       RegistryValue&, bool) {
  return false;
}
}  // namespace ModulRegistrierung
