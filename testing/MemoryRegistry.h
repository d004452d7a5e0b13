// The registry in memory, for tests: a map of keys with a class and values, names compared
// without regard to case as Windows compares them, and the switches tests use to make an
// operation fail. Its conversions are those of FixedLocale. The product never uses it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/RegistryPlatform.h"
#include "testing/FixedLocale.h"

namespace quillet::ModulRegistrierung {

class MemoryRegistry : public RegistryPlatform {
 public:
  // A key as kept here, and as tests read it through Find.
  struct Node {
    explicit Node(std::string_view spelt, std::string_view created = {})
        : name(spelt), keyClass(created) {}

    std::string name;  // as spelt when created
    std::string keyClass;
    std::vector<std::pair<std::string, StoredValue>> values;  // as spelt, in order of creation
    std::map<std::wstring, std::shared_ptr<Node>> subKeys;    // by folded name
    std::map<std::wstring, int> setValueCounts;  // writes asked for, by folded value name
    // The switches. A key refusing read rights (query, enumerate, notify) or write rights (set
    // value, create sub-key, create link) does not open with them, and one refusing write also
    // refuses new sub-keys and its deletion; `failSetValue` fails every write into the key
    // although it opens for writing.
    bool refuseRead = false, refuseWrite = false, failSetValue = false, deleted = false;

    std::optional<StoredValue> Value(std::string_view valueName) const;
    std::vector<std::string> ValueNames() const;
    std::vector<std::string> SubKeyNames() const;  // in the order of their folded names
    // Writes addressed to the value through this key, successful or not.
    int SetValueCount(std::string_view valueName) const;
  };

  MemoryRegistry();

  // A path part longer than 255 bytes is refused, as Windows refuses it.
  OwnedKey OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) override;
  CreatedKey CreateKey(RegistryRoot root, const std::string& path, const std::string& keyClass,
                       std::uint32_t access) override;
  bool DeleteKey(RegistryRoot root, const std::string& path) override;
  std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) override {
    return FixedLocale::ToAnsi(text, exact);
  }
  std::wstring FromAnsi(std::string_view bytes) override { return FixedLocale::FromAnsi(bytes); }
  std::wstring DateToText(Date date) override { return FixedLocale::DateToText(date); }
  std::optional<Date> TextToDate(std::wstring_view text) override {
    return FixedLocale::TextToDate(text);
  }

  // --- For tests; these bypass the switches and the counters.

  // The key, null when it does not exist; Edit is for setting its switches.
  const Node* Find(RegistryRoot root, std::string_view path) const;
  Node* Edit(RegistryRoot root, std::string_view path) { return Lookup(root, path).get(); }
  // Creates the key and the missing keys along the path with `keyClass`.
  void SeedKey(RegistryRoot root, std::string_view path, std::string_view keyClass = {});
  // Stores the value, creating the key (without class) if needed.
  void SeedValue(RegistryRoot root, std::string_view path, std::string_view name,
                 std::uint32_t type, std::vector<std::uint8_t> bytes);

  // Creations, writes and deletions asked for, successful or not.
  long long Changes() const { return changes_; }
  // Keys handed out and not yet let go of.
  int OpenKeyCount() const { return openKeys_; }

  // The whole registry as sorted text, a line per key (with its class) and per value (type and
  // bytes in hex): equal dumps mean equal contents, case of names included. The keys named in
  // `except` are left out with everything below them.
  using KeyPath = std::pair<RegistryRoot, std::string>;
  std::string Dump(const std::vector<KeyPath>& except = {}) const;

 private:
  class Handle;

  // The key, null when it does not exist; `parent` (when given) gets the key above it.
  std::shared_ptr<Node> Lookup(RegistryRoot root, std::string_view path,
                               std::shared_ptr<Node>* parent = nullptr) const;
  CreatedKey Create(RegistryRoot root, std::string_view path, std::string_view keyClass,
                    bool enforce);

  std::shared_ptr<Node> hives_ = std::make_shared<Node>("");  // HKLM and HKCU as its sub-keys
  long long changes_ = 0;
  int openKeys_ = 0;
};

}  // namespace quillet::ModulRegistrierung
