// The registry in memory, for tests: keys with a class and values, names compared without regard
// to case as Windows compares them, and the switches and hooks tests use to prepare, refuse and
// inspect. Windows-1252 is its ANSI code page. The product never uses it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/RegistryPlatform.h"

namespace ModulRegistrierung {

class MemoryRegistry : public RegistryPlatform {
 public:
  // A root and a key path below it, as the hooks take them.
  using KeyPath = std::pair<RegistryRoot, std::string>;

  MemoryRegistry();
  ~MemoryRegistry() override;

  // A path part longer than 255 bytes is refused, as Windows refuses it.
  OwnedKey OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) override;
  CreatedKey CreateKey(RegistryRoot root, const std::string& path, const std::string& keyClass,
                       std::uint32_t access) override;
  bool DeleteKey(RegistryRoot root, const std::string& path) override;

  // Windows-1252 as Windows converts it: no best fit, the five unassigned bytes as the C1
  // controls of the same number.
  std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) override;
  std::wstring FromAnsi(std::string_view bytes) override;
  // No regional format: the OLE date as a decimal number. Writer and reader agree, which is all
  // the layer needs; the calendar runs from 01.01.0100 to 31.12.9999 as on Windows.
  std::wstring DateToText(Date date) override;
  std::optional<Date> TextToDate(std::wstring_view text) override;

  // --- Hooks for tests; they bypass the switches and the counters.

  // Creates the key and the missing keys along the path with `keyClass`.
  void SeedKey(RegistryRoot root, std::string_view path, std::string_view keyClass = {});
  // Stores the value, creating the key (without class) if needed.
  void SeedValue(RegistryRoot root, std::string_view path, std::string_view name,
                 std::uint32_t type, std::vector<std::uint8_t> bytes);
  // nullopt when the key or the value does not exist.
  std::optional<StoredValue> Raw(RegistryRoot root, std::string_view path,
                                 std::string_view name) const;
  // nullopt when the key does not exist.
  std::optional<std::string> KeyClass(RegistryRoot root, std::string_view path) const;
  bool KeyExists(RegistryRoot root, std::string_view path) const {
    return KeyClass(root, path).has_value();
  }
  // Sub-keys in the order of their folded names, values in the order of creation; both as
  // spelt when created.
  std::vector<std::string> SubKeyNames(RegistryRoot root, std::string_view path) const;
  std::vector<std::string> ValueNames(RegistryRoot root, std::string_view path) const;

  // Makes an existing key refuse to be opened with read rights (query, enumerate, notify) and/or
  // write rights (set value, create sub-key, create link); a key refusing write also refuses new
  // sub-keys and its deletion. False when the key does not exist.
  bool RefuseAccess(RegistryRoot root, std::string_view path, bool read, bool write);
  // Makes every write into the key fail although it opens for writing. False when the key does
  // not exist.
  bool FailSetValue(RegistryRoot root, std::string_view path);

  // Writes addressed to this value, successful or not; kept across deletion of the key.
  int SetValueCount(RegistryRoot root, std::string_view path, std::string_view name) const;
  // Creations, writes and deletions asked for, successful or not.
  long long Changes() const { return changes_; }
  // Keys handed out and not yet let go of.
  int OpenKeyCount() const { return openKeys_; }

  // The whole registry as sorted text, a line per key (with its class) and per value (type and
  // bytes in hex): equal dumps mean equal contents, case of names included. The keys named in
  // `except` are left out with everything below them.
  std::string Dump(const std::vector<KeyPath>& except = {}) const;

 private:
  struct Node;
  class Key;

  // The folded path from the root, which names a key here; nullopt for an invalid path.
  static std::optional<std::string> Folded(RegistryRoot root, std::string_view path);
  std::shared_ptr<Node> Find(RegistryRoot root, std::string_view path) const;
  CreatedKey Create(RegistryRoot root, std::string_view path, std::string_view keyClass,
                    bool enforce);

  std::map<std::string, std::shared_ptr<Node>> keys_;  // by folded path
  std::map<std::string, int> setValueCounts_;
  long long changes_ = 0;
  int openKeys_ = 0;
};

}  // namespace ModulRegistrierung
