#include "registry/ModulRegistrierung.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "registry/RegistryKeyHandle.h"

namespace ModulRegistrierung {
namespace {

constexpr std::wstring_view kBooleanPrefix = L"typboolean:";
constexpr std::wstring_view kDatePrefix = L"typdate:";

// What one RegSetValueExA call stores.
struct StoredForm {
  std::uint32_t type = kRegSz;
  std::string bytes;
};

// A name or path in the ANSI code page. A character the code page cannot hold would become '?'
// and a NUL would cut the name short at the platform: either would address another key or
// value than the caller named, so such a name is refused.
std::optional<std::string> AnsiName(RegistryPlatform& platform, std::wstring_view name) {
  if (name.find(L'\0') != std::wstring_view::npos) return std::nullopt;
  bool exact = true;
  std::string ansi = platform.ToAnsi(name, &exact);
  if (!exact) return std::nullopt;
  return ansi;
}

// Text data in the ANSI code page, which is all the host can read. A character the code page
// cannot hold arrives as '?', as the host would show it at best; refusing the whole value would
// leave the add-on half registered over one character of a description.
std::optional<std::string> AnsiText(RegistryPlatform& platform, std::wstring_view text) {
  return platform.ToAnsi(text, nullptr);
}

StoredForm Dword(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  StoredForm form{kRegDword, std::string(4, '\0')};
  for (int i = 0; i < 4; ++i) form.bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return form;
}

StoredForm TerminatedText(std::string text) {
  text.push_back('\0');
  return StoredForm{kRegSz, std::move(text)};
}

// The stored form of `value`: nullopt when it cannot be stored (a date the platform cannot
// render). Empty never gets
// here.
std::optional<StoredForm> Encode(RegistryPlatform& platform, const RegistryValue& value) {
  switch (KindOf(value)) {
    case RegistryValueKind::Integer16:
      return Dword(std::get<std::int16_t>(value));
    case RegistryValueKind::Integer32:
      return Dword(std::get<std::int32_t>(value));
    case RegistryValueKind::Boolean:
      return TerminatedText(std::get<bool>(value) ? "typboolean:true" : "typboolean:false");
    case RegistryValueKind::Date: {
      const std::wstring dateText = platform.DateToText(std::get<Date>(value));
      if (dateText.empty()) return std::nullopt;
      std::optional<std::string> ansi = AnsiText(platform, dateText);
      if (!ansi) return std::nullopt;
      return TerminatedText("typdate:" + *ansi);
    }
    case RegistryValueKind::Text: {
      std::optional<std::string> ansi = AnsiText(platform, std::get<std::wstring>(value));
      if (!ansi) return std::nullopt;
      // A text that already ends in NUL carries its own terminator.
      if (!ansi->empty() && ansi->back() == '\0') return StoredForm{kRegSz, std::move(*ansi)};
      return TerminatedText(std::move(*ansi));
    }
    case RegistryValueKind::Empty:
      break;
  }
  return std::nullopt;
}

Message InvalidDateNotice(std::wstring_view valueName, std::wstring_view storedText) {
  Message notice;
  notice.title = L"Ungültiger Datumswert";
  notice.text = L"Registrierung: ";
  notice.text += valueName;
  notice.text += L" enthält den ungültigen Datumswert: ";
  notice.text += storedText;
  notice.text += L"\r\nDer Standardwert wird verwendet.";
  notice.icon = MessageIcon::Information;
  notice.buttons = MessageButtons::Ok;
  return notice;
}

// Puts a stored text into the holder, decoding "typboolean:" and "typdate:" unless `rawText`.
void DecodeText(const RegistryContext& reg, std::wstring_view valueName, std::wstring text,
                RegistryValue& value, bool rawText) {
  if (!rawText && text.starts_with(kBooleanPrefix)) {
    value = text.compare(kBooleanPrefix.size(), 4, L"true") == 0;
    return;
  }
  if (!rawText && text.starts_with(kDatePrefix)) {
    std::optional<Date> date = reg.platform.TextToDate(std::wstring_view(text).substr(8));
    if (date) {
      value = *date;
    } else {
      reg.messages.Show(InvalidDateNotice(valueName, text));
    }
    return;
  }
  value = std::move(text);
}

// Reads a REG_SZ whose data size is `size`. The buffer is one byte larger than the data and
// prefilled with blanks, as the host's own reader does; what the value holds is exactly the
// bytes the platform returned, without the terminating NUL when there is one. A value stored
// without terminator (or with size 0) thus reads as its characters and nothing more.
std::optional<std::string> QueryText(RegistryPlatform& platform, RegKey key,
                                     const std::string& valueName, std::uint32_t size) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size) + 1, ' ');
  std::uint32_t type = 0;
  std::uint32_t returned = size;
  if (platform.QueryValueEx(key, valueName, &type, buffer.data(), &returned) != kErrorSuccess) {
    return std::nullopt;
  }
  std::string stored(buffer.begin(), buffer.begin() + std::min(returned, size));
  if (!stored.empty() && stored.back() == '\0') stored.pop_back();
  return stored;
}

std::optional<std::int32_t> QueryDword(RegistryPlatform& platform, RegKey key,
                                       const std::string& valueName) {
  std::array<std::uint8_t, 4> buffer{};
  std::uint32_t type = 0;
  std::uint32_t size = 4;
  if (platform.QueryValueEx(key, valueName, &type, buffer.data(), &size) != kErrorSuccess) {
    return std::nullopt;
  }
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | buffer[i];
  return static_cast<std::int32_t>(bits);
}

}  // namespace

bool RegistryKeyExists(const RegistryContext& reg, RegKey root, std::wstring_view subKeyPath) {
  std::optional<std::string> path = AnsiName(reg.platform, subKeyPath);
  if (!path) return false;
  return static_cast<bool>(OpenRegistryKey(reg.platform, root, *path, kAccessRead));
}

bool CreateRegistryKey(const RegistryContext& reg, RegKey root, std::wstring_view subKeyPath,
                       std::wstring_view keyClass) {
  std::optional<std::string> path = AnsiName(reg.platform, subKeyPath);
  std::optional<std::string> classText = AnsiName(reg.platform, keyClass);
  if (!path || !classText) return false;
  RegKey created = 0;
  std::uint32_t disposition = 0;
  if (reg.platform.CreateKeyEx(root, *path, *classText, 0, kAccessAll, &created, &disposition) !=
      kErrorSuccess) {
    return false;
  }
  RegistryKeyHandle key(reg.platform, created);
  // The flush's outcome does not matter: the key exists either way.
  reg.platform.FlushKey(key.Get());
  return disposition == kRegCreatedNewKey;
}

bool WriteRegistryValue(const RegistryContext& reg, RegKey root, std::wstring_view subKeyPath,
                        std::wstring_view valueName, const RegistryValue& value) {
  std::optional<std::string> path = AnsiName(reg.platform, subKeyPath);
  std::optional<std::string> name = AnsiName(reg.platform, valueName);
  if (!path || !name) return false;
  RegistryKeyHandle key = OpenRegistryKey(reg.platform, root, *path, kAccessAll);
  if (!key) return false;
  if (KindOf(value) == RegistryValueKind::Empty) return true;
  std::optional<StoredForm> form = Encode(reg.platform, value);
  if (!form) return false;
  return reg.platform.SetValueEx(key.Get(), *name, form->type,
                                 reinterpret_cast<const std::uint8_t*>(form->bytes.data()),
                                 static_cast<std::uint32_t>(form->bytes.size())) == kErrorSuccess;
}

bool DeleteRegistryKey(const RegistryContext& reg, RegKey root, std::wstring_view subKeyPath) {
  std::optional<std::string> path = AnsiName(reg.platform, subKeyPath);
  if (!path) return false;
  return reg.platform.DeleteKey(root, *path) == kErrorSuccess;
}

bool ReadRegistryValue(const RegistryContext& reg, RegKey root, std::wstring_view subKeyPath,
                       std::wstring_view valueName, RegistryValue& value, bool rawText) {
  std::optional<std::string> path = AnsiName(reg.platform, subKeyPath);
  std::optional<std::string> name = AnsiName(reg.platform, valueName);
  if (!path || !name) return false;
  RegistryKeyHandle key = OpenRegistryKey(reg.platform, root, *path, kAccessRead);
  if (!key) return false;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (reg.platform.QueryValueEx(key.Get(), *name, &type, nullptr, &size) != kErrorSuccess) {
    return false;
  }
  if (type == kRegSz) {
    std::optional<std::string> stored = QueryText(reg.platform, key.Get(), *name, size);
    if (!stored) return false;
    DecodeText(reg, valueName, reg.platform.FromAnsi(*stored), value, rawText);
  } else if (type == kRegDword) {
    std::optional<std::int32_t> number = QueryDword(reg.platform, key.Get(), *name);
    if (!number) return false;
    value = *number;
  }
  // Any other type leaves the caller's default.
  return true;
}

}  // namespace ModulRegistrierung
