#include "testing/MemoryRegistry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cwchar>

namespace ModulRegistrierung {
namespace {

constexpr std::uint32_t kReadRights = 0x1 | 0x8 | 0x10;
constexpr std::uint32_t kWriteRights = 0x2 | 0x4 | 0x20;

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

// The parts of a path, empty ones skipped; nullopt for one longer than a key name can be.
std::optional<std::vector<std::string>> Parts(std::string_view path) {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end - start > 255) return std::nullopt;
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string RootName(RegistryRoot root) { return root == kHkeyLocalMachine ? "HKLM" : "HKCU"; }

// Windows-1252 bytes 0x80 to 0x9F.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool InCalendar(double date) { return date > -657435.0 && date < 2958466.0; }

}  // namespace

struct MemoryRegistry::Node {
  Node(std::string spelt, std::string_view created) : path(std::move(spelt)), keyClass(created) {}

  std::string path;  // from the root, as spelt when created
  std::string keyClass;
  std::vector<std::pair<std::string, StoredValue>> values;
  bool refuseRead = false;
  bool refuseWrite = false;
  bool failSetValue = false;
  bool deleted = false;

  StoredValue* Value(std::string_view name) {
    for (auto& [spelt, value] : values) {
      if (Fold(spelt) == Fold(name)) return &value;
    }
    return nullptr;
  }
  void Store(std::string_view name, StoredValue value) {
    if (StoredValue* existing = Value(name)) {
      *existing = std::move(value);
    } else {
      values.emplace_back(name, std::move(value));
    }
  }
  bool Refuses(std::uint32_t access) const {
    return (refuseRead && (access & kReadRights)) || (refuseWrite && (access & kWriteRights));
  }
};

// A key handed out: counted while it lives; once deleted it neither reads nor writes.
class MemoryRegistry::Key : public RegistryKey {
 public:
  Key(MemoryRegistry& registry, std::shared_ptr<Node> node) : registry_(registry), node_(node) {
    ++registry_.openKeys_;
  }
  ~Key() override { --registry_.openKeys_; }

  std::optional<StoredValue> Read(const std::string& name) override {
    const StoredValue* value = node_->deleted ? nullptr : node_->Value(name);
    return value ? std::optional<StoredValue>(*value) : std::nullopt;
  }
  bool Write(const std::string& name, const StoredValue& value) override {
    ++registry_.changes_;
    ++registry_.setValueCounts_[Fold(node_->path) + "\\\\" + Fold(name)];
    if (node_->deleted || node_->failSetValue) return false;
    node_->Store(name, value);
    return true;
  }

 private:
  MemoryRegistry& registry_;
  std::shared_ptr<Node> node_;
};

MemoryRegistry::MemoryRegistry() {
  for (const char* root : {"HKLM", "HKCU"}) keys_[root] = std::make_shared<Node>(root, "");
}

MemoryRegistry::~MemoryRegistry() = default;

std::optional<std::string> MemoryRegistry::Folded(RegistryRoot root, std::string_view path) {
  const auto parts = Parts(path);
  if (!parts || (root != kHkeyLocalMachine && root != kHkeyCurrentUser)) return std::nullopt;
  std::string folded = RootName(root);
  for (const std::string& part : *parts) folded += "\\" + Fold(part);
  return folded;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Find(RegistryRoot root,
                                                           std::string_view path) const {
  const auto folded = Folded(root, path);
  const auto found = folded ? keys_.find(*folded) : keys_.end();
  return found == keys_.end() ? nullptr : found->second;
}

CreatedKey MemoryRegistry::Create(RegistryRoot root, std::string_view path,
                                  std::string_view keyClass, bool enforce) {
  const auto parts = Parts(path);
  std::shared_ptr<Node> node = Find(root, "");
  if (!parts || !node) return {};
  bool created = false;
  for (const std::string& part : *parts) {
    std::shared_ptr<Node>& child = keys_[Fold(node->path) + "\\" + Fold(part)];
    created = child == nullptr;
    if (created) {
      // A new sub-key needs the parent's create right; keys made so far stay, as on Windows.
      if (enforce && node->refuseWrite) {
        keys_.erase(Fold(node->path) + "\\" + Fold(part));
        return {};
      }
      child = std::make_shared<Node>(node->path + "\\" + part, keyClass);
    }
    node = child;
  }
  return {std::make_unique<Key>(*this, node), created};
}

OwnedKey MemoryRegistry::OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) {
  std::shared_ptr<Node> node = Find(root, path);
  if (!node || node->Refuses(access)) return nullptr;
  return std::make_unique<Key>(*this, node);
}

CreatedKey MemoryRegistry::CreateKey(RegistryRoot root, const std::string& path,
                                     const std::string& keyClass, std::uint32_t access) {
  ++changes_;
  CreatedKey created = Create(root, path, keyClass, true);
  if (created.key && !created.isNew && Find(root, path)->Refuses(access)) return {};
  return created;
}

bool MemoryRegistry::DeleteKey(RegistryRoot root, const std::string& path) {
  ++changes_;
  const auto folded = Folded(root, path);
  const auto found = folded ? keys_.find(*folded) : keys_.end();
  if (found == keys_.end() || found->first.find('\\') == std::string::npos) return false;
  const auto next = keys_.lower_bound(*folded + "\\");
  const bool hasSubKeys = next != keys_.end() && next->first.starts_with(*folded + "\\");
  if (hasSubKeys || found->second->refuseWrite) return false;
  found->second->deleted = true;
  keys_.erase(found);
  return true;
}

std::string MemoryRegistry::ToAnsi(std::wstring_view text, bool* exact) {
  std::string ansi;
  if (exact != nullptr) *exact = true;
  for (wchar_t c : text) {
    const auto high = std::find(kHighControls.begin(), kHighControls.end(), c);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      ansi.push_back(static_cast<char>(c));
    } else if (high != kHighControls.end()) {
      ansi.push_back(static_cast<char>(0x80 + (high - kHighControls.begin())));
    } else {
      ansi.push_back('?');
      if (exact != nullptr) *exact = false;
    }
  }
  return ansi;
}

std::wstring MemoryRegistry::FromAnsi(std::string_view bytes) {
  std::wstring text;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text.push_back(b >= 0x80 && b < 0xA0 ? static_cast<wchar_t>(kHighControls[b - 0x80]) : b);
  }
  return text;
}

std::wstring MemoryRegistry::DateToText(Date date) {
  if (!std::isfinite(date.oleDate) || !InCalendar(date.oleDate)) return {};
  wchar_t text[32];
  std::swprintf(text, 32, L"%.8f", date.oleDate);
  return text;
}

std::optional<Date> MemoryRegistry::TextToDate(std::wstring_view text) {
  const std::wstring terminated(text);
  if (text.empty() || (text[0] != L'-' && !std::iswdigit(text[0]))) return std::nullopt;
  wchar_t* end = nullptr;
  const double date = std::wcstod(terminated.c_str(), &end);
  if (end != terminated.c_str() + terminated.size() || !InCalendar(date)) return std::nullopt;
  return Date{date};
}

// --- Hooks -------------------------------------------------------------------------------

void MemoryRegistry::SeedKey(RegistryRoot root, std::string_view path, std::string_view keyClass) {
  Create(root, path, keyClass, false);
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

std::optional<std::string> MemoryRegistry::KeyClass(RegistryRoot root,
                                                    std::string_view path) const {
  std::shared_ptr<Node> node = Find(root, path);
  return node ? std::optional<std::string>(node->keyClass) : std::nullopt;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(RegistryRoot root,
                                                     std::string_view path) const {
  std::vector<std::string> names;
  const std::string prefix = Folded(root, path).value_or("?") + "\\";
  for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix);
       ++it) {
    const std::string& spelt = it->second->path;
    if (it->first.find('\\', prefix.size()) == std::string::npos)
      names.push_back(spelt.substr(spelt.size() - (it->first.size() - prefix.size())));
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
  if (node) std::tie(node->refuseRead, node->refuseWrite) = std::pair(read, write);
  return node != nullptr;
}

bool MemoryRegistry::FailSetValue(RegistryRoot root, std::string_view path) {
  std::shared_ptr<Node> node = Find(root, path);
  if (node) node->failSetValue = true;
  return node != nullptr;
}

int MemoryRegistry::SetValueCount(RegistryRoot root, std::string_view path,
                                  std::string_view name) const {
  const auto found = setValueCounts_.find(Folded(root, path).value_or("?") + "\\\\" + Fold(name));
  return found == setValueCounts_.end() ? 0 : found->second;
}

std::string MemoryRegistry::Dump(const std::vector<KeyPath>& except) const {
  std::vector<std::string> lines;
  for (const auto& key : keys_) {
    const std::string& folded = key.first;
    const Node& node = *key.second;
    const bool skipped = std::any_of(except.begin(), except.end(), [&](const KeyPath& skip) {
      const std::string prefix = Folded(skip.first, skip.second).value_or("?");
      return folded == prefix || folded.starts_with(prefix + "\\");
    });
    if (skipped) continue;
    lines.push_back(node.path + " [class \"" + node.keyClass + "\"]");
    for (const auto& [name, value] : node.values) {
      std::string line =
          node.path + " : \"" + name + "\" = type " + std::to_string(value.type) + ":";
      char hex[4];
      for (std::uint8_t b : value.bytes) line += (std::snprintf(hex, sizeof hex, " %02X", b), hex);
      lines.push_back(line);
    }
  }
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
