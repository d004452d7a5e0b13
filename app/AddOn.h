// What a run changes in the system: the add-on's key with its nine values, and the host's
// add-on list "AddOns".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/AddOnEintrag.h"
#include "app/Frontend.h"
#include "registry/ModulRegistrierung.h"

namespace quillet {

// The add-on's key: "software\Orvo\Brannick\Brannick\AddOn_" and the name.
std::wstring AddOnKeyPath(const std::wstring& name);

// The nine values an install writes, by name, in the order it writes them.
std::vector<std::pair<std::wstring_view, ModulRegistrierung::RegistryValue>> AddOnValues(
    const AddOnEintrag& entry);

// The host's add-on list as stored; the empty text when the key or the value is missing.
// nullopt when the value is there but is no REG_SZ text (another type, or a read that failed):
// a list rebuilt from that would drop every other add-on. `prompts` shows the invalid-date
// notice of a list stored as a "typdate:" text.
std::optional<std::wstring> ReadAddOnList(const ModulRegistrierung::RegistryContext& registry,
                                          Prompts& prompts);

// Registers the add-on: its key (created with the class "Anwendungsdaten" when missing), its
// nine values, and its name in the list unless the list holds it. False when any of the nine
// value writes or the list write failed, and when the list is there but cannot be read as text
// (nothing is changed then). `prompts` shows the invalid-date notice of a list
// stored as a "typdate:" text; `log` gets a line per write.
bool AddOnEinrichten(const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                     RunLog& log, const AddOnEintrag& entry);

// Unregisters the add-on: deletes its key when present and takes its name out of the list.
// False when an existing key could not be deleted or the list write failed, and when the list is
// there but cannot be read as text (nothing is changed then).
bool AddOnEntfernen(const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                    RunLog& log, const std::wstring& name);

}  // namespace quillet
