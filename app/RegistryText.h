// A registry value read as the pass keeps it: as text, a date rendered by the locale. Both the
// version gate and the add-on list read their value this way.
#pragma once

#include <string>
#include <string_view>

#include "app/Frontend.h"
#include "registry/ModulRegistrierung.h"

namespace quillet {

// The value as text ("" when the key or value is missing or unreadable, or the type is neither
// REG_SZ nor REG_DWORD). A "typdate:" text that holds no date reads as "" after the
// invalid-date notice has been shown through `prompts`.
std::wstring ReadRegistryText(const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                              ModulRegistrierung::Root root, std::wstring_view subKeyPath,
                              std::wstring_view valueName);

// The same for a value already read by ReadRegistryValue (typed decoding).
std::wstring RegistryTextOf(ModulRegistrierung::ReadResult read,
                            const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                            std::wstring_view valueName);

// The notice for a stored "typdate:" text `storedText` of `valueName` that holds no date.
Message InvalidDateNotice(std::wstring_view valueName, std::wstring_view storedText);

}  // namespace quillet
