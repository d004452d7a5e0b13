// Placeholder until this module is written.
#include "registry/RegistryValue.h"

namespace ModulRegistrierung {
std::wstring AsText(const RegistryValue&, const std::wstring&) { return {}; }
}  // namespace ModulRegistrierung
