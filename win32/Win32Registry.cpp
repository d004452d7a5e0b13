#include "win32/Win32Registry.h"

#include <windows.h>

#include <oleauto.h>

#include <cmath>
#include <utility>
#include "win32/LateBound.h"
#include "win32/UniqueHandle.h"

namespace quillet::ModulRegistrierung {
namespace {

// The predefined roots are sign-extended handle values; the portable constants are not, so
// they are mapped here rather than cast.
HKEY ToHkey(RegistryRoot root) {
  if (root == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
  if (root == kHkeyCurrentUser) return HKEY_CURRENT_USER;
  return nullptr;
}

// The host is a 32-bit program and reads the 32-bit view: the 64-bit build must write there too.
// 32-bit Windows ignores the flag, so both builds name it on every open, create and delete.
constexpr REGSAM kHostView = KEY_WOW64_32KEY;

// An open HKEY, closed with its owner.
class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(unique_hkey key) : key_(std::move(key)) {}

  std::optional<StoredValue> Read(const std::string& name) override {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    // Exactly the size learned: with room to spare, Windows would add a NUL to a text that was
    // stored without one, and the caller must see the bytes as stored. A value that grew in
    // between (ERROR_MORE_DATA) fails the read, and the caller keeps its default.
    std::vector<std::uint8_t> bytes(size);
    DWORD returned = size;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                         size == 0 ? nullptr : bytes.data(), &returned) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    // The ANSI call may report a text's size in its wide form first; what it returns counts.
    bytes.resize(returned < size ? returned : size);
    return StoredValue{type, std::move(bytes)};
  }

  bool Write(const std::string& name, const StoredValue& value) override {
    return RegSetValueExA(key_.get(), name.c_str(), 0, value.type, value.bytes.data(),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
  }

 private:
  unique_hkey key_;
};

}  // namespace

OwnedKey Win32Registry::OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) {
  unique_hkey key;
  if (RegOpenKeyExA(ToHkey(root), path.c_str(), 0, access | kHostView, key.put()) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32Key>(std::move(key));
}

CreatedKey Win32Registry::CreateKey(RegistryRoot root, const std::string& path,
                                    const std::string& keyClass, std::uint32_t access) {
  unique_hkey key;
  DWORD disposition = 0;
  if (RegCreateKeyExA(ToHkey(root), path.c_str(), 0, const_cast<char*>(keyClass.c_str()), 0,
                      access | kHostView, nullptr, key.put(), &disposition) != ERROR_SUCCESS) {
    return {};
  }
  // The key is on disk before anything is written into it; whether the flush succeeds does not
  // matter, the key exists either way.
  RegFlushKey(key.get());
  return {std::make_unique<Win32Key>(std::move(key)), disposition == REG_CREATED_NEW_KEY};
}

bool Win32Registry::DeleteKey(RegistryRoot root, const std::string& path) {
  return RegDeleteKeyExA(ToHkey(root), path.c_str(), kHostView, 0) == ERROR_SUCCESS;
}

std::string Win32Registry::ToAnsi(std::wstring_view text, bool* exact) {
  if (exact != nullptr) *exact = true;
  if (text.empty()) return {};
  // UTF-8 as the ANSI code page takes no best-fit flag and has no default character.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    if (exact != nullptr) *exact = false;
    return {};
  }
  std::string ansi(static_cast<std::size_t>(needed), '\0');
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(CP_ACP, flags, text.data(), length, ansi.data(), needed, nullptr,
                      utf8 ? nullptr : &usedDefault);
  if (exact != nullptr && usedDefault) *exact = false;
  return ansi;
}

std::wstring Win32Registry::FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), needed);
  return text;
}

std::wstring Win32Registry::DateToText(Date date) {
  // Wine renders NaN rather than refuse it; the calendar the conversions know runs from
  // 01.01.0100 to 31.12.9999.
  if (!std::isfinite(date.oleDate) || date.oleDate <= -657435.0 || date.oleDate >= 2958466.0) {
    return {};
  }
  unique_bstr text;
  if (FAILED(OLEAUT32(VarBstrFromDate)(date.oleDate, LOCALE_USER_DEFAULT, 0, text.put())) ||
      !text) {
    return {};
  }
  return std::wstring(text.get(), OLEAUT32(SysStringLen)(text.get()));
}

std::optional<Date> Win32Registry::TextToDate(std::wstring_view text) {
  // The conversion reads up to the first NUL; a text with one inside is no date.
  if (text.find(L'\0') != std::wstring_view::npos) return std::nullopt;
  std::wstring terminated(text);
  DATE date = 0;
  if (FAILED(OLEAUT32(VarDateFromStr)(terminated.data(), LOCALE_USER_DEFAULT, 0, &date))) {
    return std::nullopt;
  }
  return Date{date};
}

}  // namespace quillet::ModulRegistrierung
