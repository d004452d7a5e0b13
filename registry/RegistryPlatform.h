// What the registry layer needs of a registry, as whole operations: open or create a key and get
// it as an owned object, read or write one value as its type and bytes, delete a key; and the two
// conversions that belong to that boundary (texts to and from the ANSI code page, dates to and
// from text under the user's regional settings). How a platform does that (buffer sizes,
// terminators, error codes, the 32-bit view) stays inside its binding: Win32Registry on Windows,
// MemoryRegistry in tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegistryValue.h"

namespace quillet::ModulRegistrierung {

// A predefined root key, as its Windows handle value, so that portable code needs no
// <windows.h>.
using RegistryRoot = std::uintptr_t;

inline constexpr RegistryRoot kHkeyCurrentUser = 0x80000001u;
inline constexpr RegistryRoot kHkeyLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// KEY_READ and KEY_ALL_ACCESS without their standard-rights part.
inline constexpr std::uint32_t kAccessRead = 0x19;
inline constexpr std::uint32_t kAccessAll = 0x3F;

// A value as the registry keeps it: its type and exactly its bytes.
struct StoredValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

// An open key. It is closed when its owner lets go of it, so no path can leave it open or close
// it twice.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The value `name` as stored, a text without terminator included; nullopt when it does not
  // exist or cannot be read through this key.
  virtual std::optional<StoredValue> Read(const std::string& name) = 0;
  // Stores exactly `value` under `name`; false when the registry refuses it.
  virtual bool Write(const std::string& name, const StoredValue& value) = 0;
};

using OwnedKey = std::unique_ptr<RegistryKey>;

struct CreatedKey {
  OwnedKey key;  // null when the key could not be created or opened
  bool isNew = false;
};

// Names, paths and texts are ANSI byte strings; `access` is the rights mask asked for.
class RegistryPlatform {
 public:
  virtual ~RegistryPlatform() = default;

  // Null when the key does not exist or refuses `access`.
  virtual OwnedKey OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) = 0;
  // Creates the key and the missing keys along the path, each with `keyClass`; an existing key
  // is opened as it is. `isNew` tells whether the last key was created by this call.
  virtual CreatedKey CreateKey(RegistryRoot root, const std::string& path,
                               const std::string& keyClass, std::uint32_t access) = 0;
  // True when the key was deleted with its values; a key with sub-keys is refused.
  virtual bool DeleteKey(RegistryRoot root, const std::string& path) = 0;

  // `text` in the ANSI code page, one byte per character, without best-fit mapping: a character
  // with no exact ANSI form becomes '?' and sets `*exact` (when given) to false.
  virtual std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) = 0;
  virtual std::wstring FromAnsi(std::string_view bytes) = 0;

  // The date as text under the user's regional settings, empty for a date outside the calendar;
  // and back, nullopt when the text is no date. A date written with DateToText reads back equal
  // as far as the text form carries it.
  virtual std::wstring DateToText(Date date) = 0;
  virtual std::optional<Date> TextToDate(std::wstring_view text) = 0;
};

}  // namespace quillet::ModulRegistrierung
