#include "testing/Windows1252.h"

#include <algorithm>
#include <array>

namespace windows1252 {
namespace {

// The characters of the bytes 80 to 9F; all other bytes are the Latin-1 character of their
// number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string Encode(std::wstring_view text, bool* exact) {
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

std::wstring Decode(std::string_view bytes) {
  std::wstring text;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text.push_back(b >= 0x80 && b < 0xA0 ? static_cast<wchar_t>(kHighControls[b - 0x80]) : b);
  }
  return text;
}

}  // namespace windows1252
