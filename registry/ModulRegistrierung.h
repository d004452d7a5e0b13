// The only place where Quillet touches the registry: stateless operations over the store, by
// path. Results are booleans (and, for a read, what was read); the store's error codes are
// not passed on. Nothing here shows anything: a read that meets an invalid date says so in its
// result, and the caller decides what the user sees.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "registry/Locale.h"
#include "registry/RegistryStore.h"
#include "registry/RegistryValue.h"

namespace quillet::ModulRegistrierung {

// What the operations work through: the store, and the locale for names, texts and dates.
struct RegistryContext {
  RegistryStore& store;
  Locale& locale;
};

// True when the key can be opened for reading.
bool RegistryKeyExists(const RegistryContext& registry, Root root, std::wstring_view subKeyPath);

// True when the key opens for writing: it exists, the rights allow it, and it is no registry link.
bool RegistryKeyWritable(const RegistryContext& registry, Root root, std::wstring_view subKeyPath);

// True only when the key was newly created (with `keyClass`, missing keys along the path too);
// false when it already existed (it is left as it was) or could not be created.
bool CreateRegistryKey(const RegistryContext& registry, Root root, std::wstring_view subKeyPath,
                       std::wstring_view keyClass);

// True when the value was written, or when `value` is Empty and the key opens for writing;
// false when the key cannot be opened for writing (it is never created here) or the write fails.
bool WriteRegistryValue(const RegistryContext& registry, Root root, std::wstring_view subKeyPath,
                        std::wstring_view valueName, const RegistryValue& value);

// `value` exactly as a write stores it (type and bytes); nullopt for Empty and for a value that
// cannot be stored (a date the locale cannot render).
std::optional<StoredValue> StoredForm(const RegistryContext& registry, const RegistryValue& value);

// True when the key was deleted (with its values; a key with sub-keys is refused).
bool DeleteRegistryKey(const RegistryContext& registry, Root root, std::wstring_view subKeyPath);

// The key's class and every value exactly as stored, to be put back later; nullopt when the key
// is absent or cannot be read.
std::optional<KeyContents> ReadRegistryKey(const RegistryContext& registry, Root root,
                                           std::wstring_view subKeyPath);

// Puts back what ReadRegistryKey read: the key, created with its class when missing (an
// existing key keeps its own), and every value byte for byte. Other values the key holds stay.
// True when the key is there and every value was written.
bool WriteRegistryKey(const RegistryContext& registry, Root root, std::wstring_view subKeyPath,
                      const KeyContents& contents);

// How a read treats the texts "typboolean:..." and "typdate:...": as the typed values they
// stand for, or as the texts they are.
enum class TextDecoding { Typed, Raw };

struct ReadResult {
  // Key and value were found and read; also after an invalid date and for a type other than
  // REG_SZ and REG_DWORD. False when the key cannot be opened or the value cannot be read.
  bool found = false;
  // What was read; Empty when nothing was, after an invalid date, and for any other type.
  RegistryValue value;
  // The whole stored text (prefix included) of a "typdate:" value that holds no date.
  std::optional<std::wstring> invalidDateText;
  // Found with `found`; otherwise Missing when the key or the value is absent, Failed when it is
  // there but could not be read (a REG_DWORD too long for its four bytes included).
  ReadStatus status = ReadStatus::Missing;
  // The type the value is stored with, when found.
  std::uint32_t storedType = 0;
};

ReadResult ReadRegistryValue(const RegistryContext& registry, Root root,
                             std::wstring_view subKeyPath, std::wstring_view valueName,
                             TextDecoding decoding = TextDecoding::Typed);

}  // namespace quillet::ModulRegistrierung
