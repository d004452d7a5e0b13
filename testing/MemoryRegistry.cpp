#include "testing/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include "text/Characters.h"

namespace quillet::ModulRegistrierung {
namespace {

constexpr std::uint32_t kReadRights = 0x1 | 0x8 | 0x10;
constexpr std::uint32_t kWriteRights = 0x2 | 0x4 | 0x20;

// Names compare as Windows compares them, Windows-1252 letters included.
std::wstring Fold(std::string_view name) { return text::Folded(FixedLocale::FromAnsi(name)); }

// The root's name and the parts of the path, empty ones skipped; nullopt for a part longer than
// a key name can be.
std::optional<std::vector<std::string>> Parts(RegistryRoot root, std::string_view path) {
  std::vector<std::string> parts{root == kHkeyLocalMachine  ? "HKLM"
                                 : root == kHkeyCurrentUser ? "HKCU"
                                                            : "?"};
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end - start > 255) return std::nullopt;
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool Refuses(const MemoryRegistry::Node& node, std::uint32_t access) {
  return (node.refuseRead && (access & kReadRights)) ||
         (node.refuseWrite && (access & kWriteRights));
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

// A key handed out: counted while it lives; once deleted it neither reads nor writes.
class MemoryRegistry::Handle : public RegistryKey {
 public:
  Handle(MemoryRegistry& registry, std::shared_ptr<Node> node)
      : registry_(registry), node_(std::move(node)) {
    ++registry_.openKeys_;
  }
  ~Handle() override { --registry_.openKeys_; }

  std::optional<StoredValue> Read(const std::string& name) override {
    return node_->deleted ? std::nullopt : node_->Value(name);
  }
  bool Write(const std::string& name, const StoredValue& value) override {
    ++registry_.changes_;
    ++node_->setValueCounts[Fold(name)];
    if (node_->deleted || node_->failSetValue) return false;
    Store(*node_, name, value);
    return true;
  }

 private:
  MemoryRegistry& registry_;
  std::shared_ptr<Node> node_;
};

MemoryRegistry::MemoryRegistry() {
  for (const char* hive : {"HKLM", "HKCU"})
    hives_->subKeys[Fold(hive)] = std::make_shared<Node>(hive);
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Lookup(RegistryRoot root,
                                                             std::string_view path,
                                                             std::shared_ptr<Node>* parent) const {
  const auto parts = Parts(root, path);
  std::shared_ptr<Node> node = parts ? hives_ : nullptr;
  for (std::size_t i = 0; node && i < parts->size(); ++i) {
    if (parent) *parent = node;
    const auto sub = node->subKeys.find(Fold((*parts)[i]));
    node = sub == node->subKeys.end() ? nullptr : sub->second;
  }
  return node;
}

const MemoryRegistry::Node* MemoryRegistry::Find(RegistryRoot root, std::string_view path) const {
  return Lookup(root, path).get();
}

CreatedKey MemoryRegistry::Create(RegistryRoot root, std::string_view path,
                                  std::string_view keyClass, bool enforce) {
  const auto parts = Parts(root, path);
  std::shared_ptr<Node> node = Lookup(root, "");
  if (!parts || !node) return {};
  bool created = false;
  for (std::size_t i = 1; i < parts->size(); ++i) {
    std::shared_ptr<Node>& child = node->subKeys[Fold((*parts)[i])];
    created = child == nullptr;
    if (created) {
      // A new sub-key needs the parent's create right; keys made so far stay, as on Windows.
      if (enforce && node->refuseWrite) {
        node->subKeys.erase(Fold((*parts)[i]));
        return {};
      }
      child = std::make_shared<Node>((*parts)[i], keyClass);
    }
    node = child;
  }
  return {std::make_unique<Handle>(*this, node), created};
}

OwnedKey MemoryRegistry::OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) {
  std::shared_ptr<Node> node = Lookup(root, path);
  if (!node || Refuses(*node, access)) return nullptr;
  return std::make_unique<Handle>(*this, node);
}

CreatedKey MemoryRegistry::CreateKey(RegistryRoot root, const std::string& path,
                                     const std::string& keyClass, std::uint32_t access) {
  ++changes_;
  CreatedKey created = Create(root, path, keyClass, true);
  if (created.key && !created.isNew && Refuses(*Lookup(root, path), access)) return {};
  return created;
}

bool MemoryRegistry::DeleteKey(RegistryRoot root, const std::string& path) {
  ++changes_;
  std::shared_ptr<Node> parent;
  const std::shared_ptr<Node> node = Lookup(root, path, &parent);
  if (!node || parent == hives_ || !node->subKeys.empty() || node->refuseWrite) return false;
  parent->subKeys.erase(Fold(node->name));
  node->deleted = true;
  return true;
}

// --- For tests ---------------------------------------------------------------------------

void MemoryRegistry::SeedKey(RegistryRoot root, std::string_view path, std::string_view keyClass) {
  Create(root, path, keyClass, false);
}

void MemoryRegistry::SeedValue(RegistryRoot root, std::string_view path, std::string_view name,
                               std::uint32_t type, std::vector<std::uint8_t> bytes) {
  SeedKey(root, path);
  if (const std::shared_ptr<Node> node = Lookup(root, path)) {
    Store(*node, name, {type, std::move(bytes)});
  }
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
