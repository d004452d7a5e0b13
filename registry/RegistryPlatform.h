// The narrow platform interface of the registry layer: the seven advapi32 calls it uses, with
// their Win32 meaning (ANSI byte strings, sizes in bytes, Win32 error codes, the creation
// disposition, ERROR_MORE_DATA), and the two conversions that belong to that boundary: texts to
// and from the ANSI code page, dates to and from text under the user's regional settings.
// Win32Registry binds it to Windows; MemoryRegistry is the in-memory stand-in for tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "registry/RegistryValue.h"

namespace ModulRegistrierung {

// The platform's HKEY, as an integer so that portable code needs no <windows.h>.
using RegKey = std::uintptr_t;

inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// KEY_READ and KEY_ALL_ACCESS without their standard-rights part.
inline constexpr std::uint32_t kAccessRead = 0x19;
inline constexpr std::uint32_t kAccessAll = 0x3F;

class RegistryPlatform {
 public:
  virtual ~RegistryPlatform() = default;

  // RegOpenKeyExA. On success `*result` is a key the caller must close.
  virtual long OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, RegKey* result) = 0;
  // RegCreateKeyExA (reserved 0, no security attributes).
  virtual long CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                           std::uint32_t options, std::uint32_t access, RegKey* result,
                           std::uint32_t* disposition) = 0;
  virtual long FlushKey(RegKey key) = 0;
  virtual long CloseKey(RegKey key) = 0;
  // RegQueryValueExA: `data` may be null to learn the type and size; `*size` is the buffer size
  // in bytes on entry and the data size on return; a buffer too small gives kErrorMoreData.
  virtual long QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
  // RegSetValueExA (reserved 0): stores exactly `size` bytes of `data`.
  virtual long SetValueEx(RegKey key, const std::string& valueName, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
  // RegDeleteKeyA (RegDeleteKeyExA in the host's view): refuses a key that has sub-keys.
  virtual long DeleteKey(RegKey root, const std::string& subKey) = 0;

  // `text` in the ANSI code page, one byte per character, without best-fit mapping: a character
  // with no exact ANSI form becomes '?' and sets `*exact` (when given) to false.
  virtual std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) = 0;
  virtual std::wstring FromAnsi(std::string_view bytes) = 0;

  // The date as text under the user's regional settings, and back; nullopt when the text is no
  // date. A date written with DateToText reads back equal as far as the text form carries it.
  virtual std::wstring DateToText(Date date) = 0;
  virtual std::optional<Date> TextToDate(std::wstring_view text) = 0;
};

}  // namespace ModulRegistrierung
