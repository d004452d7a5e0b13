#include "testing/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include "testing/FixedLocale.h"
#include "text/Characters.h"

namespace quillet::ModulRegistrierung {
namespace {

// Names compare as Windows compares them, Windows-1252 letters included.
std::wstring Fold(std::string_view name) { return text::Folded(FixedLocale::TextOf(name)); }

// The root's name and the parts of the path, empty ones skipped; nullopt for a part longer than
// a key name can be.
std::optional<std::vector<std::string>> Parts(Root root, std::string_view path) {
  std::vector<std::string> parts{root == Root::LocalMachine ? "HKLM" : "HKCU"};
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end - start > 255) return std::nullopt;
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Reading asks for the read rights; writing, and opening an existing key to create it, for all.
bool Readable(const MemoryRegistry::Node* node) { return node && !node->refuseRead; }
bool Writable(const MemoryRegistry::Node* node) {
  return node && !node->refuseRead && !node->refuseWrite;
}

void Store(MemoryRegistry::Node& node, std::string_view name, StoredValue value) {
  for (auto& [spelt, stored] : node.values) {
    if (Fold(spelt) == Fold(name)) return void(stored = std::move(value));
  }
  node.values.emplace_back(name, std::move(value));
}

}  // namespace

std::optional<StoredValue> MemoryRegistry::Node::Value(std::string_view valueName) const {
  for (const auto& [spelt, value] : values) {
    if (Fold(spelt) == Fold(valueName)) return value;
  }
  return std::nullopt;
}

std::vector<std::string> MemoryRegistry::Node::ValueNames() const {
  std::vector<std::string> names;
  for (const auto& value : values) names.push_back(value.first);
  return names;
}

std::vector<std::string> MemoryRegistry::Node::SubKeyNames() const {
  std::vector<std::string> names;
  for (const auto& subKey : subKeys) names.push_back(subKey.second->name);
  return names;
}

int MemoryRegistry::Node::SetValueCount(std::string_view valueName) const {
  const auto found = setValueCounts.find(Fold(valueName));
  return found == setValueCounts.end() ? 0 : found->second;
}

MemoryRegistry::MemoryRegistry() {
  for (const char* hive : {"HKLM", "HKCU"})
    hives_->subKeys[Fold(hive)] = std::make_unique<Node>(hive);
}

MemoryRegistry::Node* MemoryRegistry::Lookup(Root root, std::string_view path,
                                             Node** parent) const {
  const auto parts = Parts(root, path);
  Node* node = parts ? hives_.get() : nullptr;
  for (std::size_t i = 0; node && i < parts->size(); ++i) {
    if (parent) *parent = node;
    const auto sub = node->subKeys.find(Fold((*parts)[i]));
    node = sub == node->subKeys.end() ? nullptr : sub->second.get();
  }
  return node;
}

KeyCreation MemoryRegistry::Create(Root root, std::string_view path, std::string_view keyClass,
                                   bool enforce) {
  const auto parts = Parts(root, path);
  Node* node = Lookup(root, "");
  if (!parts || !node) return KeyCreation::Failed;
  bool created = false;
  for (std::size_t i = 1; i < parts->size(); ++i) {
    std::unique_ptr<Node>& child = node->subKeys[Fold((*parts)[i])];
    created = child == nullptr;
    if (created) {
      // A new sub-key needs the parent's create right; keys made so far stay, as on Windows.
      if (enforce && node->refuseWrite) {
        node->subKeys.erase(Fold((*parts)[i]));
        return KeyCreation::Failed;
      }
      child = std::make_unique<Node>((*parts)[i], keyClass);
    }
    node = child.get();
  }
  if (created) return KeyCreation::Created;
  return !enforce || Writable(node) ? KeyCreation::Existed : KeyCreation::Failed;
}

bool MemoryRegistry::KeyExists(Root root, const std::string& path) {
  return Readable(Lookup(root, path));
}

bool MemoryRegistry::KeyWritable(Root root, const std::string& path) {
  return Writable(Lookup(root, path));
}

KeyCreation MemoryRegistry::CreateKey(Root root, const std::string& path,
                                      const std::string& keyClass) {
  ++changes_;
  return Create(root, path, keyClass, true);
}

ValueRead MemoryRegistry::ReadValue(Root root, const std::string& path, const std::string& name) {
  const Node* node = Lookup(root, path);
  if (!node) return {};
  if (!Readable(node)) return {ReadStatus::Failed, {}};
  std::optional<StoredValue> value = node->Value(name);
  if (!value) return {};
  if (node->failRead) return {ReadStatus::Failed, {}};
  return {ReadStatus::Found, std::move(*value)};
}

bool MemoryRegistry::WriteValue(Root root, const std::string& path, const std::string& name,
                                const StoredValue& value) {
  Node* node = Lookup(root, path);
  if (!Writable(node)) return false;
  ++changes_;
  ++node->setValueCounts[Fold(name)];
  if (node->failSetValue) return false;
  Store(*node, name, value);
  return true;
}

bool MemoryRegistry::DeleteKey(Root root, const std::string& path) {
  ++changes_;
  Node* parent = nullptr;
  const Node* node = Lookup(root, path, &parent);
  if (!node || parent == hives_.get() || !node->subKeys.empty() || node->refuseWrite) return false;
  parent->subKeys.erase(Fold(node->name));
  return true;
}

std::optional<KeyContents> MemoryRegistry::ReadKey(Root root, const std::string& path) {
  const Node* node = Lookup(root, path);
  if (!Readable(node) || (node->failRead && !node->values.empty())) return std::nullopt;
  return KeyContents{node->keyClass, node->values};
}

// --- For tests ---------------------------------------------------------------------------

void MemoryRegistry::SeedKey(Root root, std::string_view path, std::string_view keyClass) {
  Create(root, path, keyClass, false);
}

void MemoryRegistry::SeedValue(Root root, std::string_view path, std::string_view name,
                               std::uint32_t type, std::vector<std::uint8_t> bytes) {
  SeedKey(root, path);
  if (Node* node = Lookup(root, path)) Store(*node, name, {type, std::move(bytes)});
}

std::string MemoryRegistry::Dump(const std::vector<KeyPath>& except) const {
  std::set<const Node*> skipped;
  for (const KeyPath& key : except) skipped.insert(Find(key.first, key.second));
  std::vector<std::string> lines;
  const std::function<void(const Node&, const std::string&)> walk = [&](const Node& node,
                                                                        const std::string& path) {
    if (skipped.contains(&node)) return;
    lines.push_back(path + " [class \"" + node.keyClass + "\"]");
    for (const auto& [name, value] : node.values) {
      lines.push_back(path + " : \"" + name + "\" = type " + std::to_string(value.type) + ":");
      char hex[4];
      for (std::uint8_t b : value.bytes) lines.back() += (std::snprintf(hex, 4, " %02X", b), hex);
    }
    for (const auto& subKey : node.subKeys) walk(*subKey.second, path + "\\" + subKey.second->name);
  };
  for (const auto& hive : hives_->subKeys) walk(*hive.second, hive.second->name);
  // A line for everything, sorted: the order of creation does not matter, the case of names does.
  std::sort(lines.begin(), lines.end());
  std::string dump;
  for (const std::string& line : lines) dump += line + "\n";
  return dump;
}

}  // namespace quillet::ModulRegistrierung
