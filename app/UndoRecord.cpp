#include "app/UndoRecord.h"

#include <algorithm>
#include <utility>

#include "app/AddOnList.h"
#include "app/Facts.h"
#include "app/RegistryText.h"

namespace quillet {

namespace {

namespace mr = ModulRegistrierung;

constexpr mr::Root kRoot = mr::Root::LocalMachine;
constexpr std::string_view kMagic = "QuilletUndo1\n";

std::wstring AddOnKeyPath(const std::wstring& name) {
  return std::wstring(facts::kAddOnKeyPrefix) + name;
}

// --- bytes ---------------------------------------------------------------------------------

void PutNumber(std::string& out, std::uint32_t n) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
}

void PutBytes(std::string& out, std::string_view bytes) {
  PutNumber(out, static_cast<std::uint32_t>(bytes.size()));
  out += bytes;
}

void PutWide(std::string& out, const std::wstring& text) {
  PutNumber(out, static_cast<std::uint32_t>(text.size()));
  for (const wchar_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>((c >> 8) & 0xFF);
  }
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool Number(std::uint32_t& n) {
    if (bytes_.size() < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i) n |= std::uint32_t{static_cast<unsigned char>(bytes_[i])} << (8 * i);
    bytes_.remove_prefix(4);
    return true;
  }
  bool Byte(std::uint8_t& b) {
    if (bytes_.empty()) return false;
    b = static_cast<std::uint8_t>(bytes_[0]);
    bytes_.remove_prefix(1);
    return true;
  }
  bool Bytes(std::string& out) {
    std::uint32_t n = 0;
    if (!Number(n) || bytes_.size() < n) return false;
    out.assign(bytes_.substr(0, n));
    bytes_.remove_prefix(n);
    return true;
  }
  bool Wide(std::wstring& out) {
    std::uint32_t n = 0;
    if (!Number(n) || bytes_.size() / 2 < n) return false;
    out.clear();
    for (std::uint32_t i = 0; i < n; ++i) {
      out += static_cast<wchar_t>(static_cast<unsigned char>(bytes_[2 * i]) |
                                  (static_cast<unsigned char>(bytes_[2 * i + 1]) << 8));
    }
    bytes_.remove_prefix(2 * static_cast<std::size_t>(n));
    return true;
  }
  bool Prefix(std::string_view magic) {
    if (bytes_.substr(0, magic.size()) != magic) return false;
    bytes_.remove_prefix(magic.size());
    return true;
  }
  bool AtEnd() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

// --- the key ---------------------------------------------------------------------------------

// The key as it was: deleted when there was none, else made again from nothing with its class
// and its values, so that values the change added go too.
bool RestoreKey(const mr::RegistryContext& registry, Frontend& frontend, const UndoRecord& record) {
  const std::wstring key = AddOnKeyPath(record.name);
  const std::string path = registry.locale.ToAnsi(key);
  const bool exists = registry.store.KeyExists(kRoot, path);
  if (!record.keyBefore) {
    if (!exists) return true;
    const bool deleted = registry.store.DeleteKey(kRoot, path);
    frontend.Log((deleted ? L"key deleted " : L"key not deleted ") + key);
    return deleted;
  }
  if (exists && !registry.store.DeleteKey(kRoot, path)) {
    // Something else hangs below it now; the values at least go back.
    frontend.Log(L"key kept, values restored " + key);
  } else if (registry.store.CreateKey(kRoot, path, record.keyBefore->keyClass) ==
             mr::KeyCreation::Failed) {
    frontend.Log(L"key not restored " + key);
    return false;
  } else {
    frontend.Log(L"key restored " + key);
  }
  bool ok = true;
  for (const auto& [name, value] : record.keyBefore->values) {
    if (!registry.store.WriteValue(kRoot, path, name, value)) ok = false;
  }
  return ok;
}

}  // namespace

UndoRecord RecordBeforeChange(const mr::RegistryContext& registry, Frontend& frontend,
                              UndoWork work, const std::wstring& name) {
  UndoRecord record;
  record.work = work;
  record.name = name;
  record.keyBefore =
      registry.store.ReadKey(kRoot, registry.locale.ToAnsi(AddOnKeyPath(name)));
  const std::wstring list =
      ReadRegistryText(registry, frontend, kRoot, facts::kHostKey, facts::kAddOnList);
  if (work == UndoWork::Install) {
    if (!AddOnList::IsListed(list, name)) record.list = ListChange::Added;
  } else if (const std::optional<std::size_t> at = AddOnList::PlaceOf(list, name)) {
    record.list = ListChange::Removed;
    record.position = static_cast<std::uint32_t>(*at);
  }
  return record;
}

bool UndoChange(const mr::RegistryContext& registry, Frontend& frontend, const UndoRecord& record) {
  bool ok = RestoreKey(registry, frontend, record);
  if (record.list == ListChange::None) return ok;

  const std::wstring before =
      ReadRegistryText(registry, frontend, kRoot, facts::kHostKey, facts::kAddOnList);
  std::wstring after;
  if (record.list == ListChange::Added) {
    if (!AddOnList::IsListed(before, record.name)) return ok;
    after = AddOnList::WithoutName(before, record.name);
  } else {
    if (AddOnList::IsListed(before, record.name)) return ok;
    after = AddOnList::InsertedAt(before, record.name, record.position);
  }
  frontend.Log(L"list '" + before + L"' -> '" + after + L"'");
  if (!mr::WriteRegistryValue(registry, kRoot, facts::kHostKey, facts::kAddOnList,
                              mr::RegistryValue(std::move(after)))) {
    ok = false;
  }
  return ok;
}

std::string SerializedUndoRecord(const UndoRecord& record) {
  std::string out(kMagic);
  out += static_cast<char>(record.work);
  PutWide(out, record.name);
  out += static_cast<char>(record.keyBefore ? 1 : 0);
  if (record.keyBefore) {
    PutBytes(out, record.keyBefore->keyClass);
    PutNumber(out, static_cast<std::uint32_t>(record.keyBefore->values.size()));
    for (const auto& [name, value] : record.keyBefore->values) {
      PutBytes(out, name);
      PutNumber(out, value.type);
      PutBytes(out, std::string_view(reinterpret_cast<const char*>(value.bytes.data()),
                                     value.bytes.size()));
    }
  }
  out += static_cast<char>(record.list);
  PutNumber(out, record.position);
  return out;
}

std::optional<UndoRecord> ParsedUndoRecord(std::string_view bytes) {
  Reader in(bytes);
  UndoRecord record;
  std::uint8_t work = 0;
  std::uint8_t hasKey = 0;
  if (!in.Prefix(kMagic) || !in.Byte(work) || !in.Wide(record.name) || !in.Byte(hasKey)) {
    return std::nullopt;
  }
  if (work != 1 && work != 2) return std::nullopt;
  record.work = static_cast<UndoWork>(work);
  if (hasKey > 1) return std::nullopt;
  if (hasKey == 1) {
    mr::KeyContents key;
    std::uint32_t count = 0;
    if (!in.Bytes(key.keyClass) || !in.Number(count)) return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      std::string data;
      mr::StoredValue value;
      if (!in.Bytes(name) || !in.Number(value.type) || !in.Bytes(data)) return std::nullopt;
      value.bytes.assign(data.begin(), data.end());
      key.values.emplace_back(std::move(name), std::move(value));
    }
    record.keyBefore = std::move(key);
  }
  std::uint8_t list = 0;
  if (!in.Byte(list) || list > 2 || !in.Number(record.position) || !in.AtEnd()) {
    return std::nullopt;
  }
  record.list = static_cast<ListChange>(list);
  return record;
}

}  // namespace quillet
