#include "registry/ModulRegistrierung.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quillet::ModulRegistrierung {
namespace {

// The typed texts, as stored: the prefix, then "true"/"false" or the date's text.
constexpr std::string_view kBooleanPrefixAnsi = "typboolean:";
constexpr std::string_view kDatePrefixAnsi = "typdate:";
constexpr std::wstring_view kBooleanPrefix = L"typboolean:";
constexpr std::wstring_view kDatePrefix = L"typdate:";

// A name or path in the ANSI code page. A character the code page cannot hold would become '?'
// and a NUL would cut the name short in the store: either would address another key or
// value than the caller named, so such a name is refused.
std::optional<std::string> AnsiName(Locale& locale, std::wstring_view name) {
  if (name.find(L'\0') != std::wstring_view::npos) return std::nullopt;
  bool exact = true;
  std::string ansi = locale.ToAnsi(name, &exact);
  if (!exact) return std::nullopt;
  return ansi;
}

// Text data in the ANSI code page, which is all the host can read. A character the code page
// cannot hold arrives as '?', as the host would show it at best; refusing the whole value would
// leave the add-on half registered over one character of a description.
std::optional<std::string> AnsiText(Locale& locale, std::wstring_view text) {
  return locale.ToAnsi(text, nullptr);
}

StoredValue Dword(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  StoredValue form{kRegDword, std::vector<std::uint8_t>(4)};
  for (int i = 0; i < 4; ++i) form.bytes[i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF);
  return form;
}

StoredValue TerminatedText(std::string_view text) {
  StoredValue form{kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
  form.bytes.push_back(0);
  return form;
}

// The stored form of `value`: nullopt when it cannot be stored (a date the locale cannot
// render). Empty never gets here.
std::optional<StoredValue> Encode(Locale& locale, const RegistryValue& value) {
  switch (KindOf(value)) {
    case RegistryValueKind::Integer16:
      return Dword(std::get<std::int16_t>(value));
    case RegistryValueKind::Integer32:
      return Dword(std::get<std::int32_t>(value));
    case RegistryValueKind::Boolean:
      return TerminatedText(std::string(kBooleanPrefixAnsi) +
                            (std::get<bool>(value) ? "true" : "false"));
    case RegistryValueKind::Date: {
      const std::wstring dateText = locale.DateToText(std::get<Date>(value));
      if (dateText.empty()) return std::nullopt;
      std::optional<std::string> ansi = AnsiText(locale, dateText);
      if (!ansi) return std::nullopt;
      return TerminatedText(std::string(kDatePrefixAnsi) + *ansi);
    }
    case RegistryValueKind::Text: {
      std::optional<std::string> ansi = AnsiText(locale, std::get<std::wstring>(value));
      if (!ansi) return std::nullopt;
      // A text that already ends in NUL carries its own terminator.
      if (!ansi->empty() && ansi->back() == '\0') {
        return StoredValue{kRegSz, std::vector<std::uint8_t>(ansi->begin(), ansi->end())};
      }
      return TerminatedText(*ansi);
    }
    case RegistryValueKind::Empty:
      break;
  }
  return std::nullopt;
}

// A stored text as the read gives it, decoding "typboolean:" and "typdate:" unless `decoding`
// is Raw.
void DecodeText(Locale& locale, std::wstring text, TextDecoding decoding, ReadResult& result) {
  const bool typed = decoding == TextDecoding::Typed;
  if (typed && text.starts_with(kBooleanPrefix)) {
    result.value = text.compare(kBooleanPrefix.size(), 4, L"true") == 0;
    return;
  }
  if (typed && text.starts_with(kDatePrefix)) {
    std::optional<Date> date =
        locale.TextToDate(std::wstring_view(text).substr(kDatePrefix.size()));
    if (date) {
      result.value = *date;
    } else {
      result.invalidDateText = std::move(text);
    }
    return;
  }
  result.value = std::move(text);
}

// A REG_SZ as the value holds it: exactly the stored bytes, without the terminating NUL when
// there is one. A text stored without terminator (or with size 0) thus reads as its characters
// and nothing more, where the host's own reader would have kept a blank of its buffer.
std::string StoredText(const std::vector<std::uint8_t>& bytes) {
  std::string text(bytes.begin(), bytes.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// A REG_DWORD read into a 4-byte buffer: fewer bytes leave the rest zero, more do not fit and
// the read fails.
std::optional<std::int32_t> StoredDword(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() > 4) return std::nullopt;
  std::uint32_t bits = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) bits = (bits << 8) | bytes[i];
  return static_cast<std::int32_t>(bits);
}

}  // namespace

bool RegistryKeyExists(const RegistryContext& registry, Root root, std::wstring_view subKeyPath) {
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  if (!path) return false;
  return registry.store.KeyExists(root, *path);
}

bool RegistryKeyWritable(const RegistryContext& registry, Root root, std::wstring_view subKeyPath) {
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  if (!path) return false;
  return registry.store.KeyWritable(root, *path);
}

bool CreateRegistryKey(const RegistryContext& registry, Root root, std::wstring_view subKeyPath,
                       std::wstring_view keyClass) {
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  std::optional<std::string> classText = AnsiName(registry.locale, keyClass);
  if (!path || !classText) return false;
  return registry.store.CreateKey(root, *path, *classText) == KeyCreation::Created;
}

std::optional<StoredValue> StoredForm(const RegistryContext& registry, const RegistryValue& value) {
  return Encode(registry.locale, value);
}

bool WriteRegistryValue(const RegistryContext& registry, Root root, std::wstring_view subKeyPath,
                        std::wstring_view valueName, const RegistryValue& value) {
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  std::optional<std::string> name = AnsiName(registry.locale, valueName);
  if (!path || !name) return false;
  if (KindOf(value) == RegistryValueKind::Empty) return registry.store.KeyWritable(root, *path);
  std::optional<StoredValue> form = Encode(registry.locale, value);
  if (!form) return false;
  return registry.store.WriteValue(root, *path, *name, *form);
}

bool DeleteRegistryKey(const RegistryContext& registry, Root root, std::wstring_view subKeyPath) {
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  if (!path) return false;
  return registry.store.DeleteKey(root, *path);
}

std::optional<KeyContents> ReadRegistryKey(const RegistryContext& registry, Root root,
                                           std::wstring_view subKeyPath) {
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  if (!path) return std::nullopt;
  return registry.store.ReadKey(root, *path);
}

bool WriteRegistryKey(const RegistryContext& registry, Root root, std::wstring_view subKeyPath,
                      const KeyContents& contents) {
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  if (!path || registry.store.CreateKey(root, *path, contents.keyClass) == KeyCreation::Failed) {
    return false;
  }
  bool written = true;
  for (const auto& [name, value] : contents.values) {
    if (!registry.store.WriteValue(root, *path, name, value)) written = false;
  }
  return written;
}

ReadResult ReadRegistryValue(const RegistryContext& registry, Root root,
                             std::wstring_view subKeyPath, std::wstring_view valueName,
                             TextDecoding decoding) {
  ReadResult result;
  std::optional<std::string> path = AnsiName(registry.locale, subKeyPath);
  std::optional<std::string> name = AnsiName(registry.locale, valueName);
  if (!path || !name) {
    result.status = ReadStatus::Failed;
    return result;
  }
  ValueRead read = registry.store.ReadValue(root, *path, *name);
  result.status = read.status;
  if (read.status != ReadStatus::Found) return result;
  result.storedType = read.value.type;
  if (read.value.type == kRegSz) {
    DecodeText(registry.locale, registry.locale.FromAnsi(StoredText(read.value.bytes)), decoding,
               result);
  } else if (read.value.type == kRegDword) {
    std::optional<std::int32_t> number = StoredDword(read.value.bytes);
    if (!number) {
      result.status = ReadStatus::Failed;
      return result;
    }
    result.value = *number;
  }
  // Any other type reads as found, with nothing in it.
  result.found = true;
  return result;
}

}  // namespace quillet::ModulRegistrierung
