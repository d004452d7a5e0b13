#include "app/UndoRecordFormat.h"

#include <cstdint>
#include <utility>

namespace quillet {

namespace {

namespace mr = ModulRegistrierung;

constexpr std::string_view kMagic = "QuilletUndo2\n";

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

using Values = std::vector<std::pair<std::string, mr::StoredValue>>;

void PutValues(std::string& out, const Values& values) {
  PutNumber(out, static_cast<std::uint32_t>(values.size()));
  for (const auto& [name, value] : values) {
    PutBytes(out, name);
    PutNumber(out, value.type);
    PutBytes(out, std::string_view(reinterpret_cast<const char*>(value.bytes.data()),
                                   value.bytes.size()));
  }
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool Number(std::uint32_t& n) {
    if (bytes_.size() < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i)
      n |= std::uint32_t{static_cast<unsigned char>(bytes_[i])} << (8 * i);
    bytes_.remove_prefix(4);
    return true;
  }
  bool Byte(std::uint8_t& b, std::uint8_t largest) {
    if (bytes_.empty() || static_cast<std::uint8_t>(bytes_[0]) > largest) return false;
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
  bool ValueList(Values& values) {
    std::uint32_t count = 0;
    if (!Number(count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      std::string data;
      mr::StoredValue value;
      if (!Bytes(name) || !Number(value.type) || !Bytes(data)) return false;
      value.bytes.assign(data.begin(), data.end());
      values.emplace_back(std::move(name), std::move(value));
    }
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

}  // namespace

std::string SerializedUndoRecord(const UndoRecord& record) {
  std::string out(kMagic);
  PutWide(out, record.run);
  out += static_cast<char>(record.work);
  PutWide(out, record.name);
  out += static_cast<char>(record.keyBefore ? 1 : 0);
  if (record.keyBefore) {
    PutBytes(out, record.keyBefore->keyClass);
    PutValues(out, record.keyBefore->values);
  }
  PutValues(out, record.written);
  out += static_cast<char>(record.list);
  PutNumber(out, record.position);
  return out;
}

std::optional<UndoRecord> ParsedUndoRecord(std::string_view bytes) {
  Reader in(bytes);
  UndoRecord record;
  std::uint8_t work = 0;
  std::uint8_t hasKey = 0;
  if (!in.Prefix(kMagic) || !in.Wide(record.run) || !in.Byte(work, 2) || work == 0 ||
      !in.Wide(record.name) || !in.Byte(hasKey, 1)) {
    return std::nullopt;
  }
  record.work = static_cast<UndoWork>(work);
  if (hasKey == 1) {
    mr::KeyContents key;
    if (!in.Bytes(key.keyClass) || !in.ValueList(key.values)) return std::nullopt;
    record.keyBefore = std::move(key);
  }
  std::uint8_t list = 0;
  if (!in.ValueList(record.written) || !in.Byte(list, 2) || !in.Number(record.position) ||
      !in.AtEnd()) {
    return std::nullopt;
  }
  record.list = static_cast<ListChange>(list);
  return record;
}

}  // namespace quillet
