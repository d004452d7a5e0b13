#include "registry/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>

namespace ModulRegistrierung {
namespace {

constexpr std::uint32_t kQueryValue = 0x1;
constexpr std::uint32_t kSetValue = 0x2;
constexpr std::uint32_t kReadRights = 0x1 | 0x8 | 0x10 | 0x80000000u;   // ... GENERIC_READ
constexpr std::uint32_t kWriteRights = 0x2 | 0x4 | 0x20 | 0x40000000u;  // ... GENERIC_WRITE
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::size_t kMaxKeyNameLength = 255;

// Names compare as Windows compares them: upper-cased, Windows-1252 letters included.
unsigned char FoldByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;  // š Š
    case 0x9C:
      return 0x8C;  // œ Œ
    case 0x9E:
      return 0x8E;  // ž Ž
    case 0xFF:
      return 0x9F;  // ÿ Ÿ
    default:
      return c;
  }
}

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  return folded;
}

// A name as the platform sees it: up to its first NUL.
std::string_view CString(std::string_view name) { return name.substr(0, name.find('\0')); }

bool Refused(bool refuseRead, bool refuseWrite, std::uint32_t access) {
  if (access & kGenericAll) return refuseRead || refuseWrite;
  return (refuseRead && (access & kReadRights)) || (refuseWrite && (access & kWriteRights));
}

bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The parts of a key path, or the error the platform gives for it.
struct PathParts {
  long error = kErrorSuccess;
  std::vector<std::string> parts;
};

PathParts SplitPath(std::string_view path) {
  path = CString(path);
  PathParts result;
  if (!path.empty() && path.front() == '\\') {
    result.error = kErrorBadPathname;
    return result;
  }
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (part.size() > kMaxKeyNameLength) {
      result.error = kErrorInvalidParameter;
      return result;
    }
    if (!part.empty()) result.parts.emplace_back(part);
    start = end + 1;
  }
  return result;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char digits[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, " %02X", b);
    text += digits;
  }
  return text;
}

}  // namespace

struct MemoryRegistry::Node {
  struct Value {
    std::string name;
    RawValue raw;
  };

  std::string name;        // as created
  std::string foldedPath;  // root and path, folded: identifies the key for the counters
  std::string keyClass;
  std::vector<std::shared_ptr<Node>> subKeys;
  std::vector<Value> values;
  bool refuseRead = false;
  bool refuseWrite = false;
  bool failSetValue = false;
  bool deleted = false;

  Node* Child(std::string_view childName) const {
    const std::string folded = Fold(childName);
    for (const auto& sub : subKeys) {
      if (Fold(sub->name) == folded) return sub.get();
    }
    return nullptr;
  }
  std::shared_ptr<Node> Share(const Node* child) const {
    for (const auto& sub : subKeys) {
      if (sub.get() == child) return sub;
    }
    return nullptr;
  }
  Value* FindValue(std::string_view valueName) {
    const std::string folded = Fold(valueName);
    for (Value& value : values) {
      if (Fold(value.name) == folded) return &value;
    }
    return nullptr;
  }
  Node* AddChild(std::string childName, std::string childClass) {
    auto child = std::make_shared<Node>();
    child->foldedPath = foldedPath + "\\" + Fold(childName);
    child->name = std::move(childName);
    child->keyClass = std::move(childClass);
    subKeys.push_back(child);
    return child.get();
  }
};

struct MemoryRegistry::Handle {
  std::shared_ptr<Node> node;
  std::uint32_t access = 0;
};

struct MemoryRegistry::Resolved {
  long error = kErrorSuccess;
  std::shared_ptr<Node> node;
  std::uint32_t access = 0;
};

MemoryRegistry::MemoryRegistry()
    : localMachine_(std::make_shared<Node>()), currentUser_(std::make_shared<Node>()) {
  localMachine_->name = localMachine_->foldedPath = "HKLM";
  currentUser_->name = currentUser_->foldedPath = "HKCU";
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::RootNode(RegKey root) const {
  if (root == kHkeyLocalMachine) return localMachine_.get();
  if (root == kHkeyCurrentUser) return currentUser_.get();
  return nullptr;
}

MemoryRegistry::Resolved MemoryRegistry::Resolve(RegKey key) {
  if (key == kHkeyLocalMachine) return {kErrorSuccess, localMachine_, ~0u};
  if (key == kHkeyCurrentUser) return {kErrorSuccess, currentUser_, ~0u};
  auto found = handles_.find(key);
  if (found == handles_.end()) {
    ++invalidHandleUses_;
    return {kErrorInvalidHandle, nullptr, 0};
  }
  if (found->second->node->deleted) return {kErrorKeyDeleted, nullptr, 0};
  return {kErrorSuccess, found->second->node, found->second->access};
}

RegKey MemoryRegistry::NewHandle(std::shared_ptr<Node> node, std::uint32_t access) {
  // Handle values are never reused, so a stale one cannot reach another key.
  const RegKey key = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(key, std::make_unique<Handle>(Handle{std::move(node), access}));
  return key;
}

long MemoryRegistry::OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t,
                               std::uint32_t access, RegKey* result) {
  Resolved base = Resolve(root);
  if (base.error != kErrorSuccess) return base.error;
  PathParts path = SplitPath(subKey);
  if (path.error != kErrorSuccess) return path.error;
  std::shared_ptr<Node> node = base.node;
  for (const std::string& part : path.parts) {
    std::shared_ptr<Node> child = node->Share(node->Child(part));
    if (!child) return kErrorFileNotFound;
    node = std::move(child);
  }
  if (Refused(node->refuseRead, node->refuseWrite, access)) return kErrorAccessDenied;
  if (result == nullptr) return kErrorInvalidParameter;
  *result = NewHandle(std::move(node), access);
  return kErrorSuccess;
}

long MemoryRegistry::CreateKeyEx(RegKey root, const std::string& subKey,
                                 const std::string& keyClass, std::uint32_t, std::uint32_t access,
                                 RegKey* result, std::uint32_t* disposition) {
  Resolved base = Resolve(root);
  if (base.error != kErrorSuccess) return base.error;
  PathParts path = SplitPath(subKey);
  if (path.error != kErrorSuccess) return path.error;
  if (result == nullptr) return kErrorInvalidParameter;
  std::shared_ptr<Node> node = base.node;
  bool created = false;
  for (const std::string& part : path.parts) {
    Node* child = node->Child(part);
    created = child == nullptr;
    if (created) {
      // A new sub-key needs the parent's create right; keys made so far stay, as on Windows.
      if (node->refuseWrite) return kErrorAccessDenied;
      child = node->AddChild(part, std::string(CString(keyClass)));
    }
    node = node->Share(child);
  }
  if (!created && Refused(node->refuseRead, node->refuseWrite, access)) return kErrorAccessDenied;
  *result = NewHandle(std::move(node), access);
  if (disposition != nullptr) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
  return kErrorSuccess;
}

long MemoryRegistry::FlushKey(RegKey key) { return Resolve(key).error; }

long MemoryRegistry::CloseKey(RegKey key) {
  if (RootNode(key) != nullptr) return kErrorSuccess;
  if (handles_.erase(key) == 0) {
    ++invalidHandleUses_;
    return kErrorInvalidHandle;
  }
  return kErrorSuccess;
}

long MemoryRegistry::QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* size) {
  Resolved resolved = Resolve(key);
  if (resolved.error != kErrorSuccess) return resolved.error;
  if (!(resolved.access & (kQueryValue | 0x80000000u | kGenericAll))) return kErrorAccessDenied;
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  Node::Value* value = resolved.node->FindValue(CString(valueName));
  if (value == nullptr) return kErrorFileNotFound;
  const std::vector<std::uint8_t>& bytes = value->raw.bytes;
  const auto length = static_cast<std::uint32_t>(bytes.size());
  if (type != nullptr) *type = value->raw.type;
  if (data == nullptr) {
    if (size != nullptr) *size = length;
    return kErrorSuccess;
  }
  if (*size < length) {
    *size = length;
    return kErrorMoreData;
  }
  std::copy(bytes.begin(), bytes.end(), data);
  // Windows terminates a text stored without NUL when the buffer has room for it.
  if (IsStringType(value->raw.type) && length > 0 && bytes.back() != 0 && *size > length) {
    data[length] = 0;
  }
  *size = length;
  return kErrorSuccess;
}

long MemoryRegistry::SetValueEx(RegKey key, const std::string& valueName, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) {
  Resolved resolved = Resolve(key);
  if (resolved.error != kErrorSuccess) return resolved.error;
  const std::string_view name = CString(valueName);
  ++setValueCounts_[resolved.node->foldedPath + "\\\\" + Fold(name)];
  if (!(resolved.access & (kSetValue | 0x40000000u | kGenericAll))) return kErrorAccessDenied;
  if (data == nullptr && size > 0) return kErrorInvalidParameter;
  if (resolved.node->failSetValue) return kErrorAccessDenied;
  RawValue raw{type, std::vector<std::uint8_t>(data, data + size)};
  if (Node::Value* existing = resolved.node->FindValue(name)) {
    existing->raw = std::move(raw);
  } else {
    resolved.node->values.push_back({std::string(name), std::move(raw)});
  }
  return kErrorSuccess;
}

long MemoryRegistry::DeleteKey(RegKey root, const std::string& subKey) {
  Resolved base = Resolve(root);
  if (base.error != kErrorSuccess) return base.error;
  PathParts path = SplitPath(subKey);
  if (path.error != kErrorSuccess) return path.error;
  // Deleting a root itself is refused; an empty path on an open key deletes that key.
  if (path.parts.empty() && RootNode(root) != nullptr) return kErrorAccessDenied;
  Node* parent = nullptr;
  Node* node = base.node.get();
  for (const std::string& part : path.parts) {
    parent = node;
    node = node->Child(part);
    if (node == nullptr) return kErrorFileNotFound;
  }
  if (!node->subKeys.empty() || node->refuseWrite) return kErrorAccessDenied;
  if (parent == nullptr) {
    // The key behind an open handle: find its parent from the roots down.
    std::vector<Node*> pending{localMachine_.get(), currentUser_.get()};
    while (!pending.empty() && parent == nullptr) {
      Node* candidate = pending.back();
      pending.pop_back();
      for (const auto& sub : candidate->subKeys) {
        if (sub.get() == node) parent = candidate;
        pending.push_back(sub.get());
      }
    }
    if (parent == nullptr) return kErrorAccessDenied;
  }
  node->deleted = true;
  std::erase_if(parent->subKeys, [node](const auto& sub) { return sub.get() == node; });
  return kErrorSuccess;
}

// --- Hooks -------------------------------------------------------------------------------

MemoryRegistry::Node* MemoryRegistry::Find(RegKey root, std::string_view path) const {
  Node* node = RootNode(root);
  PathParts parts = SplitPath(path);
  if (node == nullptr || parts.error != kErrorSuccess) return nullptr;
  for (const std::string& part : parts.parts) {
    node = node->Child(part);
    if (node == nullptr) return nullptr;
  }
  return node;
}

void MemoryRegistry::SeedKey(RegKey root, std::string_view path, std::string_view keyClass) {
  Node* node = RootNode(root);
  PathParts parts = SplitPath(path);
  if (node == nullptr || parts.error != kErrorSuccess) return;
  for (const std::string& part : parts.parts) {
    Node* child = node->Child(part);
    node = child != nullptr ? child : node->AddChild(part, std::string(keyClass));
  }
}

void MemoryRegistry::SeedValue(RegKey root, std::string_view path, std::string_view name,
                               std::uint32_t type, std::vector<std::uint8_t> bytes) {
  SeedKey(root, path);
  Node* node = Find(root, path);
  if (node == nullptr) return;
  RawValue raw{type, std::move(bytes)};
  if (Node::Value* existing = node->FindValue(CString(name))) {
    existing->raw = std::move(raw);
  } else {
    node->values.push_back({std::string(CString(name)), std::move(raw)});
  }
}

std::optional<MemoryRegistry::RawValue> MemoryRegistry::Raw(RegKey root, std::string_view path,
                                                            std::string_view name) const {
  Node* node = Find(root, path);
  if (node == nullptr) return std::nullopt;
  Node::Value* value = node->FindValue(CString(name));
  if (value == nullptr) return std::nullopt;
  return value->raw;
}

bool MemoryRegistry::KeyExists(RegKey root, std::string_view path) const {
  return Find(root, path) != nullptr;
}

std::optional<std::string> MemoryRegistry::KeyClass(RegKey root, std::string_view path) const {
  Node* node = Find(root, path);
  if (node == nullptr) return std::nullopt;
  return node->keyClass;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(RegKey root, std::string_view path) const {
  std::vector<std::string> names;
  if (Node* node = Find(root, path)) {
    for (const auto& sub : node->subKeys) names.push_back(sub->name);
  }
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegKey root, std::string_view path) const {
  std::vector<std::string> names;
  if (Node* node = Find(root, path)) {
    for (const auto& value : node->values) names.push_back(value.name);
  }
  return names;
}

bool MemoryRegistry::RefuseAccess(RegKey root, std::string_view path, bool read, bool write) {
  Node* node = Find(root, path);
  if (node == nullptr) return false;
  node->refuseRead = read;
  node->refuseWrite = write;
  return true;
}

bool MemoryRegistry::FailSetValue(RegKey root, std::string_view path, bool fail) {
  Node* node = Find(root, path);
  if (node == nullptr) return false;
  node->failSetValue = fail;
  return true;
}

int MemoryRegistry::SetValueCount(RegKey root, std::string_view path, std::string_view name) const {
  Node* rootNode = RootNode(root);
  PathParts parts = SplitPath(path);
  if (rootNode == nullptr || parts.error != kErrorSuccess) return 0;
  std::string key = rootNode->foldedPath;
  for (const std::string& part : parts.parts) key += "\\" + Fold(part);
  auto found = setValueCounts_.find(key + "\\\\" + Fold(CString(name)));
  return found == setValueCounts_.end() ? 0 : found->second;
}

int MemoryRegistry::OpenHandleCount() const { return static_cast<int>(handles_.size()); }

int MemoryRegistry::InvalidHandleUseCount() const { return invalidHandleUses_; }

std::string MemoryRegistry::Dump(const std::vector<KeyPath>& except) const {
  std::vector<const Node*> skipped;
  for (const auto& [root, path] : except) {
    if (const Node* node = Find(root, path)) skipped.push_back(node);
  }
  std::vector<std::string> lines;
  auto dumpKey = [&](auto& self, const Node& node, const std::string& path) -> void {
    if (std::find(skipped.begin(), skipped.end(), &node) != skipped.end()) return;
    lines.push_back(path + " [class \"" + node.keyClass + "\"]");
    for (const auto& value : node.values) {
      lines.push_back(path + " : \"" + value.name + "\" = type " + std::to_string(value.raw.type) +
                      ":" + Hex(value.raw.bytes));
    }
    for (const auto& sub : node.subKeys) self(self, *sub, path + "\\" + sub->name);
  };
  dumpKey(dumpKey, *localMachine_, localMachine_->name);
  dumpKey(dumpKey, *currentUser_, currentUser_->name);
  // Sorted by the folded text, so that the order of creation does not matter but the case of
  // the names does.
  std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    const std::string fa = Fold(a);
    const std::string fb = Fold(b);
    return fa != fb ? fa < fb : a < b;
  });
  std::string dump;
  for (const std::string& line : lines) dump += line + "\n";
  return dump;
}

}  // namespace ModulRegistrierung
