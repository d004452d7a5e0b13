#include "testing/FixedLocale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cwchar>
#include <cwctype>

#include "text/Characters.h"

namespace quillet {

std::wstring PortableToLower(std::wstring text) { return text::Folded(text); }
namespace {

// The characters of the bytes 80 to 9F; all other bytes are the Latin-1 character of their
// number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool InCalendar(double date) { return date > -657435.0 && date < 2958466.0; }

}  // namespace

std::string FixedLocale::AnsiOf(std::wstring_view text, bool* exact) {
  std::string bytes;
  if (exact != nullptr) *exact = true;
  for (wchar_t c : text) {
    const auto high = std::find(kHighControls.begin(), kHighControls.end(), c);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes.push_back(static_cast<char>(c));
    } else if (high != kHighControls.end()) {
      bytes.push_back(static_cast<char>(0x80 + (high - kHighControls.begin())));
    } else {
      bytes.push_back('?');
      if (exact != nullptr) *exact = false;
    }
  }
  return bytes;
}

std::wstring FixedLocale::TextOf(std::string_view bytes) {
  std::wstring text;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text.push_back(b >= 0x80 && b < 0xA0 ? static_cast<wchar_t>(kHighControls[b - 0x80]) : b);
  }
  return text;
}

std::wstring FixedLocale::DateToText(ModulRegistrierung::Date date) {
  if (!std::isfinite(date.oleDate) || !InCalendar(date.oleDate)) return {};
  wchar_t text[32];
  std::swprintf(text, 32, L"%.8f", date.oleDate);
  return text;
}

std::optional<ModulRegistrierung::Date> FixedLocale::TextToDate(std::wstring_view text) {
  const std::wstring terminated(text);
  if (text.empty() || (text[0] != L'-' && !std::iswdigit(text[0]))) return std::nullopt;
  wchar_t* end = nullptr;
  const double date = std::wcstod(terminated.c_str(), &end);
  if (end != terminated.c_str() + terminated.size() || !InCalendar(date)) return std::nullopt;
  return ModulRegistrierung::Date{date};
}

}  // namespace quillet
