// Placeholder until this module is written.
#include "app/AddOn.h"

bool AddOnEinrichten(const ModulRegistrierung::RegistryContext&, const AddOnEintrag&) {
  return false;
}
bool AddOnEntfernen(const ModulRegistrierung::RegistryContext&, const std::wstring&) {
  return false;
}
