// The text conversions of the in-memory registry: Windows-1252, and dates as plain numbers.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "registry/MemoryRegistry.h"

namespace ModulRegistrierung {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned ones map to the C1 control of the same
// number, as MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool InCalendar(double date) { return date > -657435.0 && date < 2958466.0; }

}  // namespace

std::string MemoryRegistry::ToAnsi(std::wstring_view text, bool* exact) {
  std::string ansi;
  bool allExact = true;
  for (wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    const auto high = std::find(kHighControls.begin(), kHighControls.end(), code);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      ansi.push_back(static_cast<char>(code));
    } else if (high != kHighControls.end()) {
      ansi.push_back(static_cast<char>(0x80 + (high - kHighControls.begin())));
    } else {
      ansi.push_back('?');
      allExact = false;
    }
  }
  if (exact != nullptr) *exact = allExact;
  return ansi;
}

std::wstring MemoryRegistry::FromAnsi(std::string_view bytes) {
  std::wstring text;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text.push_back(byte >= 0x80 && byte < 0xA0 ? static_cast<wchar_t>(kHighControls[byte - 0x80])
                                               : static_cast<wchar_t>(byte));
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
  if (terminated.empty() || (terminated[0] != L'-' && !std::iswdigit(terminated[0]))) {
    return std::nullopt;
  }
  wchar_t* end = nullptr;
  const double date = std::wcstod(terminated.c_str(), &end);
  if (end != terminated.c_str() + terminated.size() || !InCalendar(date)) return std::nullopt;
  return Date{date};
}

}  // namespace ModulRegistrierung
