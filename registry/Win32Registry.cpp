#include "registry/Win32Registry.h"

#include <windows.h>

#include <oleauto.h>

#include <cmath>
#include <utility>
#include "registry/LateBound.h"

namespace ModulRegistrierung {
namespace {

// The predefined roots are sign-extended handle values; the portable constants are not, so
// they are mapped here rather than cast.
HKEY ToHkey(RegKey key) {
  if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
  if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
  return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

// The host is a 32-bit program and reads the 32-bit view: the 64-bit build must write there too.
// 32-bit Windows ignores the flag, so both builds name it on every open, create and delete.
constexpr REGSAM kHostView = KEY_WOW64_32KEY;

// Owns a BSTR from the OLE Automation conversions.
class UniqueBstr {
 public:
  UniqueBstr() = default;
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  ~UniqueBstr() { OLEAUT32(SysFreeString)(text_); }
  BSTR* Put() { return &text_; }
  std::wstring Text() const {
    return text_ == nullptr ? std::wstring() : std::wstring(text_, OLEAUT32(SysStringLen)(text_));
  }

 private:
  BSTR text_ = nullptr;
};

}  // namespace

long Win32Registry::OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                              std::uint32_t access, RegKey* result) {
  HKEY key = nullptr;
  const LONG status =
      RegOpenKeyExA(ToHkey(root), subKey.c_str(), options, access | kHostView, &key);
  if (status == ERROR_SUCCESS) *result = FromHkey(key);
  return status;
}

long Win32Registry::CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                                std::uint32_t options, std::uint32_t access, RegKey* result,
                                std::uint32_t* disposition) {
  HKEY key = nullptr;
  DWORD created = 0;
  const LONG status =
      RegCreateKeyExA(ToHkey(root), subKey.c_str(), 0, const_cast<char*>(keyClass.c_str()), options,
                      access | kHostView, nullptr, &key, &created);
  if (status == ERROR_SUCCESS) {
    *result = FromHkey(key);
    if (disposition != nullptr) *disposition = created;
  }
  return status;
}

long Win32Registry::FlushKey(RegKey key) { return RegFlushKey(ToHkey(key)); }

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

long Win32Registry::QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
  DWORD valueType = 0;
  DWORD valueSize = size != nullptr ? *size : 0;
  const LONG status = RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType, data,
                                       size != nullptr ? &valueSize : nullptr);
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = valueSize;
  return status;
}

long Win32Registry::SetValueEx(RegKey key, const std::string& valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExA(ToHkey(key), valueName.c_str(), 0, type, data, size);
}

long Win32Registry::DeleteKey(RegKey root, const std::string& subKey) {
  return RegDeleteKeyExA(ToHkey(root), subKey.c_str(), kHostView, 0);
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
  UniqueBstr text;
  if (FAILED(OLEAUT32(VarBstrFromDate)(date.oleDate, LOCALE_USER_DEFAULT, 0, text.Put())))
    return {};
  return text.Text();
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

}  // namespace ModulRegistrierung
