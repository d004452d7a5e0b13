// Small text functions of the pass.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quillet::Modul {

// The characters an add-on name may hold once lower-cased.
inline constexpr wchar_t kAllowedNameCharacters[] = L"abcdefghijklmnopqrstuvwxyz01234567890_-öäüß";

// The first character of `name` that, lower-cased with `toLower`, is not an allowed name
// character, in its lower-cased form; the empty text when there is none (also for "").
std::wstring UngueltigesNamenszeichen(const std::wstring& name,
                                      const std::function<std::wstring(std::wstring)>& toLower);

// `path` with one backslash appended unless it already ends with one ("" gives "\").
std::wstring BackslashAnhaengen(const std::wstring& path);

// The number rule of the numeric command-line fields: the leading number of `field` (blanks,
// tabs and line feeds skipped anywhere; sign, digits, "." as the only decimal point, optional
// exponent) rounded to the nearest integer, halves to even; 0 when there is no leading number.
// nullopt when the result lies outside the signed 32-bit range.
std::optional<std::int32_t> ReadNumber(const std::wstring& field);

}  // namespace quillet::Modul
