#include "win32/Win32Locale.h"

#include <windows.h>

#include <oleauto.h>

#include <cmath>

#include "win32/LateBound.h"
#include "win32/UniqueHandle.h"

namespace quillet::ModulRegistrierung {

std::string Win32Locale::ToAnsi(std::wstring_view text, bool* exact) {
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

std::wstring Win32Locale::FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), needed);
  return text;
}

std::wstring Win32Locale::DateToText(Date date) {
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

std::optional<Date> Win32Locale::TextToDate(std::wstring_view text) {
  // The conversion reads up to the first NUL; a text with one inside is no date.
  if (text.find(L'\0') != std::wstring_view::npos) return std::nullopt;
  std::wstring terminated(text);
  DATE date = 0;
  if (FAILED(OLEAUT32(VarDateFromStr)(terminated.data(), LOCALE_USER_DEFAULT, 0, &date))) {
    return std::nullopt;
  }
  return Date{date};
}

std::wstring Win32Locale::ToLower(std::wstring text) {
  // CharLowerBuffW's rule (the user's locale, no linguistic casing), but from kernel32: a
  // silent run then never loads user32.
  if (!text.empty()) {
    const int size = static_cast<int>(text.size());
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.data(), size, text.data(), size);
  }
  return text;
}

}  // namespace quillet::ModulRegistrierung
