// The only place where Quillet touches the registry: five stateless operations. Each opens the
// key it needs, does its work and closes the key again on every path; results are booleans and
// the platform's error codes are not passed on.
#pragma once

#include <string_view>

#include "registry/Message.h"
#include "registry/RegistryPlatform.h"
#include "registry/RegistryValue.h"

namespace quillet::ModulRegistrierung {

// What the operations work through: the registry binding, and the message boxes for the
// invalid-date notice.
struct RegistryContext {
  RegistryPlatform& platform;
  MessageBoxes& messages;
};

// True when the key can be opened for reading.
bool RegistryKeyExists(const RegistryContext& reg, RegistryRoot root, std::wstring_view subKeyPath);

// True only when the key was newly created (with `keyClass`, missing keys along the path too);
// false when it already existed (it is left as it was) or could not be created.
bool CreateRegistryKey(const RegistryContext& reg, RegistryRoot root, std::wstring_view subKeyPath,
                       std::wstring_view keyClass);

// True when the value was written, or when `value` is Empty and there was nothing to write;
// false when the key cannot be opened for writing (it is never created here) or the write fails.
bool WriteRegistryValue(const RegistryContext& reg, RegistryRoot root, std::wstring_view subKeyPath,
                        std::wstring_view valueName, const RegistryValue& value);

// True when the key was deleted (with its values; a key with sub-keys is refused).
bool DeleteRegistryKey(const RegistryContext& reg, RegistryRoot root, std::wstring_view subKeyPath);

// Reads into `value`, which holds the caller's default and keeps it on every path that does
// not replace it. True when key and value were found and read (also after the invalid-date
// notice, and for a type other than REG_SZ and REG_DWORD, which leaves the default); false when
// the key cannot be opened or the value cannot be read. `rawText` switches off the typed
// decoding of "typboolean:" and "typdate:" texts.
bool ReadRegistryValue(const RegistryContext& reg, RegistryRoot root, std::wstring_view subKeyPath,
                       std::wstring_view valueName, RegistryValue& value, bool rawText);

}  // namespace quillet::ModulRegistrierung
