// A number as the decimal text the user and the logs see ("-17", "2147483648"). std::to_wstring
// would do, but with MinGW it brings the C runtime's wide printf and its float conversions, a
// sixth of the shipped exe, for the few numbers Quillet ever shows.
#pragma once

#include <cstdint>
#include <string>

namespace quillet::text {

inline std::wstring DecimalText(std::int64_t value) {
  // Counted as unsigned, so that the most negative value has its magnitude too.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  wchar_t digits[20];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::wstring text;
  text.reserve(count + 1);
  if (value < 0) text.push_back(L'-');
  while (count > 0) text.push_back(digits[--count]);
  return text;
}

}  // namespace quillet::text
