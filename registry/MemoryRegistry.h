// The registry in memory, for tests: the seven registry calls with their Windows meaning, the
// ANSI code page Windows-1252 and a German-style date text, plus hooks to prepare and inspect
// what is stored. The product never uses it; it always works on the real registry.
//
// Windows semantics kept here because tests rely on them:
// - key and value names compare without regard to case (ASCII and the Windows-1252 letters)
//   and keep the case they were created with; a value written under another case keeps its
//   first name;
// - the roots kHkeyLocalMachine and kHkeyCurrentUser always exist; an open key can serve as a
//   root too;
// - a key keeps its class: CreateKeyEx on an existing key opens it unchanged; keys missing along
//   the path are created with the class; the disposition tells whether the last key was new;
// - DeleteKey refuses a key with sub-keys (kErrorAccessDenied) and a missing key
//   (kErrorFileNotFound); handles to a deleted key give ERROR_KEY_DELETED (1018);
// - QueryValueEx follows the size protocol (null data gives the size, a buffer too small gives
//   kErrorMoreData with the size needed; a text without terminator gets a NUL appended when
//   the buffer has room, as Windows does);
// - a handle opened without query or set rights is refused those calls (kErrorAccessDenied);
// - a closed handle stays invalid (ERROR_INVALID_HANDLE, 6), and every such use is counted.
// Paths: a leading backslash is refused (ERROR_BAD_PATHNAME, 161), empty parts are skipped, a
// part longer than 255 bytes is refused (kErrorInvalidParameter); a name ends at its first NUL.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/RegistryPlatform.h"

namespace ModulRegistrierung {

inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorKeyDeleted = 1018;

class MemoryRegistry : public RegistryPlatform {
 public:
  // A value as stored: its registry type and exactly its bytes.
  struct RawValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const RawValue&, const RawValue&) = default;
  };
  // A root and a key path below it, as the hooks take them.
  using KeyPath = std::pair<RegKey, std::string>;

  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

  long OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                 std::uint32_t access, RegKey* result) override;
  long CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                   std::uint32_t options, std::uint32_t access, RegKey* result,
                   std::uint32_t* disposition) override;
  long FlushKey(RegKey key) override;
  long CloseKey(RegKey key) override;
  long QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
  long SetValueEx(RegKey key, const std::string& valueName, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
  long DeleteKey(RegKey root, const std::string& subKey) override;

  // Windows-1252: characters it cannot hold become '?'; its five unassigned bytes stand for
  // U+0081, U+008D, U+008F, U+0090 and U+009D, as on Windows.
  std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) override;
  std::wstring FromAnsi(std::string_view bytes) override;

  // German regional format: "08.12.2026 14:05:09"; only the date at midnight, only the time on
  // day 0 (30.12.1899), as VarBstrFromDate renders. Years 100 to 9999; an empty text for a date
  // outside that range. TextToDate takes exactly these three forms (day and month with one or
  // two digits, the year with four, the hour with one or two, minutes and seconds with two).
  std::wstring DateToText(Date date) override;
  std::optional<Date> TextToDate(std::wstring_view text) override;

  // --- Hooks for tests. They bypass refusals and counters; paths and names as in the calls.

  // Creates the key and the missing keys along the path with `keyClass`; an existing key keeps
  // its class.
  void SeedKey(RegKey root, std::string_view path, std::string_view keyClass = {});
  // Stores exactly `type` and `bytes` under `name`, creating the key (without class) if needed.
  void SeedValue(RegKey root, std::string_view path, std::string_view name, std::uint32_t type,
                 std::vector<std::uint8_t> bytes);
  // The value as stored; nullopt when the key or the value does not exist.
  std::optional<RawValue> Raw(RegKey root, std::string_view path, std::string_view name) const;
  bool KeyExists(RegKey root, std::string_view path) const;
  // The class the key was created with; nullopt when the key does not exist.
  std::optional<std::string> KeyClass(RegKey root, std::string_view path) const;
  // Names as created, in the order of creation.
  std::vector<std::string> SubKeyNames(RegKey root, std::string_view path) const;
  std::vector<std::string> ValueNames(RegKey root, std::string_view path) const;

  // Makes an existing key refuse to be opened or created with read rights (query, enumerate,
  // notify) and/or write rights (set value, create sub-key, create link); a key refusing write
  // also refuses new sub-keys and its deletion. False when the key does not exist.
  bool RefuseAccess(RegKey root, std::string_view path, bool read, bool write);
  // Makes every SetValueEx on the key fail with kErrorAccessDenied although it opens for
  // writing. False when the key does not exist.
  bool FailSetValue(RegKey root, std::string_view path, bool fail = true);

  // SetValueEx calls addressed to this value through a valid handle, successful or not; kept
  // across deletion of the key.
  int SetValueCount(RegKey root, std::string_view path, std::string_view name) const;
  // Keys opened or created and not yet closed.
  int OpenHandleCount() const;
  // Calls made with a handle that was never valid or is already closed (a double close, a use
  // after close).
  int InvalidHandleUseCount() const;

  // The whole registry as sorted text, one line per key (with its class) and one per value
  // (type and bytes in hex): equal dumps mean equal contents, case of names included. The keys
  // named in `except` are left out with everything below them.
  std::string Dump(const std::vector<KeyPath>& except = {}) const;

 private:
  struct Node;
  struct Handle;
  struct Resolved;

  // The key behind a root or handle, with the rights it was opened with.
  Resolved Resolve(RegKey key);
  Node* RootNode(RegKey root) const;
  Node* Find(RegKey root, std::string_view path) const;
  RegKey NewHandle(std::shared_ptr<Node> node, std::uint32_t access);

  std::shared_ptr<Node> localMachine_;
  std::shared_ptr<Node> currentUser_;
  std::map<RegKey, std::unique_ptr<Handle>> handles_;
  std::map<std::string, int> setValueCounts_;
  RegKey nextHandle_ = 0x1000;
  int invalidHandleUses_ = 0;
};

}  // namespace ModulRegistrierung
