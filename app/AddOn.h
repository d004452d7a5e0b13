// What a run changes in the system: the add-on's key with its nine values, and the host's
// add-on list "AddOns".
#pragma once

#include <string>

#include "app/AddOnEintrag.h"
#include "app/Frontend.h"
#include "registry/ModulRegistrierung.h"

namespace quillet {

// Registers the add-on: its key (created with the class "Anwendungsdaten" when missing), its
// nine values, and its name in the list unless the list holds it. False when any of the nine
// value writes or the list write failed. `frontend` shows the invalid-date notice of a list
// stored as a "typdate:" text.
bool AddOnEinrichten(const ModulRegistrierung::RegistryContext& registry, Frontend& frontend,
                     const AddOnEintrag& entry);

// Unregisters the add-on: deletes its key when present and takes its name out of the list.
// False when an existing key could not be deleted or the list write failed.
bool AddOnEntfernen(const ModulRegistrierung::RegistryContext& registry, Frontend& frontend,
                    const std::wstring& name);

}  // namespace quillet
