// The registry in memory, for tests: a tree of keys, each with its class and values, names
// compared without regard to case as Windows compares them, and the switches tests use to make
// an operation fail. Names are spelt in Windows-1252, as FixedLocale spells them. The product
// never uses it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/RegistryStore.h"

namespace quillet::ModulRegistrierung {

class MemoryRegistry : public RegistryStore {
 public:
  // A key as kept here, and as tests read it through Find.
  struct Node {
    explicit Node(std::string_view spelt, std::string_view created = {})
        : name(spelt), keyClass(created) {}

    std::string name;  // as spelt when created
    std::string keyClass;
    std::vector<std::pair<std::string, StoredValue>> values;  // as spelt, in order of creation
    std::map<std::wstring, std::unique_ptr<Node>> subKeys;    // by folded name
    std::map<std::wstring, int> setValueCounts;  // writes asked for, by folded value name
    // The switches. A key refusing read rights does not exist for KeyExists and fails reads;
    // one refusing write rights fails writes, new sub-keys and its deletion; both fail a write
    // and opening an existing key through CreateKey, which ask for both. `failSetValue` fails
    // every write into the key although its rights allow it; `failRead` fails the read of every
    // value the key holds.
    bool refuseRead = false, refuseWrite = false, failSetValue = false, failRead = false;

    std::optional<StoredValue> Value(std::string_view valueName) const;
    std::vector<std::string> ValueNames() const;
    std::vector<std::string> SubKeyNames() const;  // in the order of their folded names
    // Writes addressed to the value, successful or not.
    int SetValueCount(std::string_view valueName) const;
  };

  MemoryRegistry();

  // A path part longer than 255 bytes is refused, as Windows refuses it.
  bool KeyExists(Root root, const std::string& path) override;
  bool KeyWritable(Root root, const std::string& path) override;
  KeyCreation CreateKey(Root root, const std::string& path, const std::string& keyClass) override;
  ValueRead ReadValue(Root root, const std::string& path, const std::string& name) override;
  bool WriteValue(Root root, const std::string& path, const std::string& name,
                  const StoredValue& value) override;
  bool DeleteKey(Root root, const std::string& path) override;
  std::optional<KeyContents> ReadKey(Root root, const std::string& path) override;

  // --- For tests; these bypass the switches and the counters.

  // The key, null when it does not exist; Edit is for setting its switches.
  const Node* Find(Root root, std::string_view path) const { return Lookup(root, path); }
  Node* Edit(Root root, std::string_view path) { return Lookup(root, path); }
  // Creates the key and the missing keys along the path with `keyClass`.
  void SeedKey(Root root, std::string_view path, std::string_view keyClass = {});
  // Stores the value, creating the key (without class) if needed.
  void SeedValue(Root root, std::string_view path, std::string_view name, std::uint32_t type,
                 std::vector<std::uint8_t> bytes);

  // Creations, writes and deletions asked for, successful or not.
  long long Changes() const { return changes_; }

  // The whole registry as sorted text, a line per key (with its class) and per value (type and
  // bytes in hex): equal dumps mean equal contents, case of names included. The keys named in
  // `except` are left out with everything below them.
  using KeyPath = std::pair<Root, std::string>;
  std::string Dump(const std::vector<KeyPath>& except = {}) const;

 private:
  // The key, null when it does not exist; `parent` (when given) gets the key above it.
  Node* Lookup(Root root, std::string_view path, Node** parent = nullptr) const;
  KeyCreation Create(Root root, std::string_view path, std::string_view keyClass, bool enforce);

  std::unique_ptr<Node> hives_ = std::make_unique<Node>("");  // HKLM and HKCU as its sub-keys
  long long changes_ = 0;
};

}  // namespace quillet::ModulRegistrierung
