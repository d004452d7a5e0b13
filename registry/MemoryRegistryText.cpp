// The text conversions of the in-memory registry: Windows-1252 and a German date text.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "registry/MemoryRegistry.h"

namespace ModulRegistrierung {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned ones map to the C1 control of the same
// number, as MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// OLE dates count days from 30.12.1899; that day is day -25569 of the Unix epoch.
constexpr long long kOleEpochFromUnixEpoch = -25569;
constexpr double kFirstDate = -657434.0;  // 01.01.0100
constexpr double kLastDate = 2958466.0;   // the day after 31.12.9999
constexpr long long kSecondsPerDay = 86400;

// Days since 01.01.1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

struct CivilDate {
  long long year;
  unsigned month;
  unsigned day;
};

CivilDate CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<long long>(yoe) + era * 400 + (m <= 2), m, d};
}

unsigned DaysInMonth(long long year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads `minDigits` to `maxDigits` decimal digits at `pos`.
bool Digits(std::wstring_view text, std::size_t& pos, int minDigits, int maxDigits, int& value) {
  int count = 0;
  value = 0;
  while (pos < text.size() && count < maxDigits && text[pos] >= L'0' && text[pos] <= L'9') {
    value = value * 10 + (text[pos] - L'0');
    ++pos;
    ++count;
  }
  return count >= minDigits;
}

bool Expect(std::wstring_view text, std::size_t& pos, wchar_t c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

// "H:mm:ss" or "HH:mm:ss" at `pos`, as seconds of the day.
bool ParseTime(std::wstring_view text, std::size_t& pos, long long& seconds) {
  int hour = 0, minute = 0, second = 0;
  if (!Digits(text, pos, 1, 2, hour) || !Expect(text, pos, L':') ||
      !Digits(text, pos, 2, 2, minute) || !Expect(text, pos, L':') ||
      !Digits(text, pos, 2, 2, second)) {
    return false;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  seconds = hour * 3600LL + minute * 60LL + second;
  return true;
}

// "d.M.yyyy" with one or two digits for day and month, as days since 30.12.1899.
bool ParseDate(std::wstring_view text, std::size_t& pos, long long& days) {
  int day = 0, month = 0, year = 0;
  if (!Digits(text, pos, 1, 2, day) || !Expect(text, pos, L'.') ||
      !Digits(text, pos, 1, 2, month) || !Expect(text, pos, L'.') ||
      !Digits(text, pos, 4, 4, year)) {
    return false;
  }
  if (year < 100 || month < 1 || month > 12 || day < 1) return false;
  if (static_cast<unsigned>(day) > DaysInMonth(year, static_cast<unsigned>(month))) return false;
  days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
         kOleEpochFromUnixEpoch;
  return true;
}

std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

}  // namespace

std::string MemoryRegistry::ToAnsi(std::wstring_view text, bool* exact) {
  std::string ansi;
  ansi.reserve(text.size());
  bool allExact = true;
  for (wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      ansi.push_back(static_cast<char>(code));
      continue;
    }
    char byte = '?';
    bool found = false;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
      if (kHighControls[i] == code) {
        byte = static_cast<char>(0x80 + i);
        found = true;
        break;
      }
    }
    allExact = allExact && found;
    ansi.push_back(byte);
  }
  if (exact != nullptr) *exact = allExact;
  return ansi;
}

std::wstring MemoryRegistry::FromAnsi(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text.push_back(byte >= 0x80 && byte < 0xA0 ? static_cast<wchar_t>(kHighControls[byte - 0x80])
                                               : static_cast<wchar_t>(byte));
  }
  return text;
}

std::wstring MemoryRegistry::DateToText(Date date) {
  const double value = date.oleDate;
  if (!std::isfinite(value) || value <= kFirstDate - 1 || value >= kLastDate) return {};
  // The whole part is the day, the fraction's distance from it the time of day, also for
  // dates before 1899 (-1.25 is 29.12.1899 06:00).
  long long day = static_cast<long long>(std::trunc(value));
  long long seconds = std::llround(std::fabs(value - std::trunc(value)) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds = 0;
    ++day;
  }
  if (day < static_cast<long long>(kFirstDate) || day >= static_cast<long long>(kLastDate)) {
    return {};
  }
  char time[16];
  std::snprintf(time, sizeof time, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  if (day == 0) return Widen(time);
  const CivilDate civil = CivilFromDays(day + kOleEpochFromUnixEpoch);
  char text[32];
  std::snprintf(text, sizeof text, "%02u.%02u.%04lld", civil.day, civil.month, civil.year);
  std::wstring result = Widen(text);
  if (seconds != 0) result += L" " + Widen(time);
  return result;
}

std::optional<Date> MemoryRegistry::TextToDate(std::wstring_view text) {
  std::size_t pos = 0;
  long long days = 0;
  long long seconds = 0;
  const bool timeOnly = text.find(L'.') == std::wstring_view::npos;
  if (timeOnly) {
    if (!ParseTime(text, pos, seconds)) return std::nullopt;
  } else {
    if (!ParseDate(text, pos, days)) return std::nullopt;
    if (pos < text.size() && (!Expect(text, pos, L' ') || !ParseTime(text, pos, seconds))) {
      return std::nullopt;
    }
  }
  if (pos != text.size()) return std::nullopt;
  const double time = static_cast<double>(seconds) / kSecondsPerDay;
  const auto whole = static_cast<double>(days);
  return Date{days < 0 ? whole - time : whole + time};
}

}  // namespace ModulRegistrierung
