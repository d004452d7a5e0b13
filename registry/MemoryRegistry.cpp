#include "registry/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>

namespace ModulRegistrierung {
namespace {

constexpr std::uint32_t kReadRights = 0x1 | 0x8 | 0x10;
constexpr std::uint32_t kWriteRights = 0x2 | 0x4 | 0x20;
constexpr std::size_t kMaxKeyNameLength = 255;

// Names compare as Windows compares them: upper-cased, Windows-1252 letters included.
std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) c = char(b - 0x20);
    if (b == 0x9A || b == 0x9C || b == 0x9E) c = char(b - 0x10);  // š œ ž
    if (b == 0xFF) c = char(0x9F);                                // ÿ
  }
  return folded;
}

// The parts of a path, empty ones skipped; nullopt for a part longer than a key name can be.
std::optional<std::vector<std::string>> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end - start > kMaxKeyNameLength) return std::nullopt;
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

struct MemoryRegistry::Node {
  std::string name;        // as created
  std::string foldedPath;  // root and path, folded: names the key for the counters
  std::string keyClass;
  std::vector<std::shared_ptr<Node>> subKeys;
  std::vector<std::pair<std::string, StoredValue>> values;
  bool refuseRead = false;
  bool refuseWrite = false;
  bool failSetValue = false;
  bool deleted = false;

  std::shared_ptr<Node> Child(std::string_view childName) const {
    for (const auto& sub : subKeys) {
      if (Fold(sub->name) == Fold(childName)) return sub;
    }
    return nullptr;
  }
  std::shared_ptr<Node> AddChild(std::string_view childName, std::string_view childClass) {
    auto child = std::make_shared<Node>();
    child->name = childName;
    child->foldedPath = foldedPath + "\\" + Fold(childName);
    child->keyClass = childClass;
    subKeys.push_back(child);
    return child;
  }
  StoredValue* Value(std::string_view valueName) {
    for (auto& [name, value] : values) {
      if (Fold(name) == Fold(valueName)) return &value;
    }
    return nullptr;
  }
  void Store(std::string_view valueName, StoredValue value) {
    if (StoredValue* existing = Value(valueName)) {
      *existing = std::move(value);
    } else {
      values.emplace_back(valueName, std::move(value));
    }
  }
  bool Refuses(std::uint32_t access) const {
    return (refuseRead && (access & kReadRights)) || (refuseWrite && (access & kWriteRights));
  }
};

// A key handed out: counted while it lives; a deleted key neither reads nor writes any more.
class MemoryRegistry::Key : public RegistryKey {
 public:
  Key(MemoryRegistry& registry, std::shared_ptr<Node> node)
      : registry_(registry), node_(std::move(node)) {
    ++registry_.openKeys_;
  }
  ~Key() override { --registry_.openKeys_; }

  std::optional<StoredValue> Read(const std::string& name) override {
    const StoredValue* value = node_->deleted ? nullptr : node_->Value(name);
    return value ? std::optional<StoredValue>(*value) : std::nullopt;
  }
  bool Write(const std::string& name, const StoredValue& value) override {
    ++registry_.changes_;
    ++registry_.setValueCounts_[node_->foldedPath + "\\\\" + Fold(name)];
    if (node_->deleted || node_->failSetValue) return false;
    node_->Store(name, value);
    return true;
  }

 private:
  MemoryRegistry& registry_;
  std::shared_ptr<Node> node_;
};

MemoryRegistry::MemoryRegistry()
    : localMachine_(std::make_shared<Node>()), currentUser_(std::make_shared<Node>()) {
  localMachine_->name = localMachine_->foldedPath = "HKLM";
  currentUser_->name = currentUser_->foldedPath = "HKCU";
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Find(RegistryRoot root,
                                                           std::string_view path) const {
  std::shared_ptr<Node> node = root == kHkeyLocalMachine  ? localMachine_
                               : root == kHkeyCurrentUser ? currentUser_
                                                          : nullptr;
  const auto parts = SplitPath(path);
  if (!parts) return nullptr;
  for (const std::string& part : *parts) {
    if (node) node = node->Child(part);
  }
  return node;
}

OwnedKey MemoryRegistry::OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) {
  std::shared_ptr<Node> node = Find(root, path);
  if (!node || node->Refuses(access)) return nullptr;
  return std::make_unique<Key>(*this, std::move(node));
}

CreatedKey MemoryRegistry::CreateKey(RegistryRoot root, const std::string& path,
                                     const std::string& keyClass, std::uint32_t access) {
  ++changes_;
  std::shared_ptr<Node> node = Find(root, "");
  const auto parts = SplitPath(path);
  if (!node || !parts) return {};
  bool created = false;
  for (const std::string& part : *parts) {
    std::shared_ptr<Node> child = node->Child(part);
    created = child == nullptr;
    // A new sub-key needs the parent's create right; keys made so far stay, as on Windows.
    if (created && node->refuseWrite) return {};
    node = created ? node->AddChild(part, keyClass) : std::move(child);
  }
  if (!created && node->Refuses(access)) return {};
  return {std::make_unique<Key>(*this, std::move(node)), created};
}

bool MemoryRegistry::DeleteKey(RegistryRoot root, const std::string& path) {
  ++changes_;
  const auto parts = SplitPath(path);
  if (!parts || parts->empty()) return false;
  std::shared_ptr<Node> parent = Find(root, "");
  for (std::size_t i = 0; parent && i + 1 < parts->size(); ++i) parent = parent->Child((*parts)[i]);
  std::shared_ptr<Node> node = parent ? parent->Child(parts->back()) : nullptr;
  if (!node || !node->subKeys.empty() || node->refuseWrite) return false;
  node->deleted = true;
  std::erase(parent->subKeys, node);
  return true;
}

// --- Hooks -------------------------------------------------------------------------------

void MemoryRegistry::SeedKey(RegistryRoot root, std::string_view path, std::string_view keyClass) {
  std::shared_ptr<Node> node = Find(root, "");
  for (const std::string& part : SplitPath(path).value_or(std::vector<std::string>{})) {
    if (!node) return;
    std::shared_ptr<Node> child = node->Child(part);
    node = child ? child : node->AddChild(part, keyClass);
  }
}

void MemoryRegistry::SeedValue(RegistryRoot root, std::string_view path, std::string_view name,
                               std::uint32_t type, std::vector<std::uint8_t> bytes) {
  SeedKey(root, path);
  if (std::shared_ptr<Node> node = Find(root, path)) node->Store(name, {type, std::move(bytes)});
}

std::optional<StoredValue> MemoryRegistry::Raw(RegistryRoot root, std::string_view path,
                                               std::string_view name) const {
  std::shared_ptr<Node> node = Find(root, path);
  const StoredValue* value = node ? node->Value(name) : nullptr;
  return value ? std::optional<StoredValue>(*value) : std::nullopt;
}

bool MemoryRegistry::KeyExists(RegistryRoot root, std::string_view path) const {
  return Find(root, path) != nullptr;
}

std::optional<std::string> MemoryRegistry::KeyClass(RegistryRoot root,
                                                    std::string_view path) const {
  std::shared_ptr<Node> node = Find(root, path);
  return node ? std::optional<std::string>(node->keyClass) : std::nullopt;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(RegistryRoot root,
                                                     std::string_view path) const {
  std::vector<std::string> names;
  if (std::shared_ptr<Node> node = Find(root, path)) {
    for (const auto& sub : node->subKeys) names.push_back(sub->name);
  }
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegistryRoot root,
                                                    std::string_view path) const {
  std::vector<std::string> names;
  if (std::shared_ptr<Node> node = Find(root, path)) {
    for (const auto& value : node->values) names.push_back(value.first);
  }
  return names;
}

bool MemoryRegistry::RefuseAccess(RegistryRoot root, std::string_view path, bool read, bool write) {
  std::shared_ptr<Node> node = Find(root, path);
  if (!node) return false;
  node->refuseRead = read;
  node->refuseWrite = write;
  return true;
}

bool MemoryRegistry::FailSetValue(RegistryRoot root, std::string_view path) {
  std::shared_ptr<Node> node = Find(root, path);
  if (node) node->failSetValue = true;
  return node != nullptr;
}

int MemoryRegistry::SetValueCount(RegistryRoot root, std::string_view path,
                                  std::string_view name) const {
  std::string key = root == kHkeyLocalMachine ? "HKLM" : "HKCU";
  for (const std::string& part : SplitPath(path).value_or(std::vector<std::string>{})) {
    key += "\\" + Fold(part);
  }
  auto found = setValueCounts_.find(key + "\\\\" + Fold(name));
  return found == setValueCounts_.end() ? 0 : found->second;
}

std::string MemoryRegistry::Dump(const std::vector<KeyPath>& except) const {
  std::vector<std::shared_ptr<Node>> skipped;
  for (const auto& [root, path] : except) skipped.push_back(Find(root, path));
  std::vector<std::string> lines;
  auto dumpKey = [&](auto& self, const std::shared_ptr<Node>& node, const std::string& path) {
    if (std::find(skipped.begin(), skipped.end(), node) != skipped.end()) return;
    lines.push_back(path + " [class \"" + node->keyClass + "\"]");
    for (const auto& [name, value] : node->values) {
      std::string line = path + " : \"" + name + "\" = type " + std::to_string(value.type) + ":";
      char hex[4];
      for (std::uint8_t b : value.bytes) line += (std::snprintf(hex, sizeof hex, " %02X", b), hex);
      lines.push_back(line);
    }
    for (const auto& sub : node->subKeys) self(self, sub, path + "\\" + sub->name);
  };
  dumpKey(dumpKey, localMachine_, "HKLM");
  dumpKey(dumpKey, currentUser_, "HKCU");
  // Sorted by the folded text, so that the order of creation does not matter but the case of
  // the names does.
  std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return Fold(a) != Fold(b) ? Fold(a) < Fold(b) : a < b;
  });
  std::string dump;
  for (const std::string& line : lines) dump += line + "\n";
  return dump;
}

}  // namespace ModulRegistrierung
