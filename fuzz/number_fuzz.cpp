// Fuzzes the number rule of the numeric command-line fields (Modul::ReadNumber).
//
// Input: any bytes, read as UTF-8 text (FuzzInput); the first eight bytes also make a 64-bit
// integer whose decimal form is read as well.
//
// Invariants:
//  1. No crash, hang or out-of-bounds access on any text (ASan, UBSan, libFuzzer's timeout).
//  2. A plain decimal integer, with or without sign, reads as exactly itself when it lies in
//     the signed 32-bit range and as the overflow stop (nullopt) outside it.
//  3. Where an independent reference can decide exactly - the text, with blanks, tabs and line
//     feeds taken out, starts with a number of at most 15 significant digits and a small
//     exponent - the result is that number rounded half to even, or the overflow stop when
//     that lies outside the signed 32-bit range. The reference reads the number with strtod,
//     which is exact enough there for the rounding to come out right.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "app/Modul.h"
#include "fuzz/FuzzInput.h"

namespace quillet {

namespace {

[[noreturn]] void Fail(const char* what, const std::wstring& text,
                       const std::optional<std::int32_t>& got) {
  std::fprintf(stderr, "number rule broken: %s\ntext: [%s]\ngot: %s\n", what,
               FuzzInput::EncodeUtf8(text).c_str(),
               got ? std::to_string(*got).c_str() : "overflow stop");
  std::abort();
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The expected result when the reference can decide; the outer nullopt means it cannot.
std::optional<std::optional<std::int32_t>> Reference(const std::wstring& text) {
  std::string number;  // the leading number, ASCII, blanks and the like taken out
  std::size_t i = 0;
  std::wstring squeezed;
  for (const wchar_t c : text) {
    if (c != L' ' && c != L'\t' && c != L'\n') squeezed += c;
  }
  // "&H" and "&O" numbers may or may not be read; the reference has no opinion on them.
  if (!squeezed.empty() && squeezed[0] == L'&') return std::nullopt;

  if (i < squeezed.size() && (squeezed[i] == L'+' || squeezed[i] == L'-')) {
    number += static_cast<char>(squeezed[i++]);
  }
  int significant = 0;
  bool anyDigit = false;
  auto takeDigits = [&](bool countLeadingZeros) {
    while (i < squeezed.size() && IsDigit(squeezed[i])) {
      if (squeezed[i] != L'0' || significant > 0 || countLeadingZeros) ++significant;
      anyDigit = true;
      number += static_cast<char>(squeezed[i++]);
    }
  };
  takeDigits(false);
  if (i < squeezed.size() && squeezed[i] == L'.') {
    number += '.';
    ++i;
    // Zeros right after the point count: they fix where the significant digits stand.
    takeDigits(significant > 0);
  }
  if (!anyDigit) return std::optional<std::int32_t>(0);
  if (significant > 15) return std::nullopt;
  if (i < squeezed.size() && (squeezed[i] == L'e' || squeezed[i] == L'E')) {
    std::size_t k = i + 1;
    std::string exponent = "e";
    if (k < squeezed.size() && (squeezed[k] == L'+' || squeezed[k] == L'-')) {
      exponent += static_cast<char>(squeezed[k++]);
    }
    std::size_t digits = 0;
    while (k < squeezed.size() && IsDigit(squeezed[k])) {
      exponent += static_cast<char>(squeezed[k++]);
      ++digits;
    }
    if (digits > 0) {
      if (digits > 3) return std::nullopt;  // keep clear of what strtod cannot say exactly
      number += exponent;
    }
  }
  const double value = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // the default mode: half to even
  if (rounded < -2147483648.0 || rounded > 2147483647.0) {
    return std::optional<std::int32_t>(std::nullopt);
  }
  return std::optional<std::int32_t>(static_cast<std::int32_t>(rounded));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text =
      FuzzInput::DecodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::optional<std::int32_t> got = Modul::ReadNumber(text);
  if (const auto expected = Reference(text); expected && *expected != got) {
    Fail("differs from the reference", text, got);
  }

  if (size >= 8) {
    std::int64_t n = 0;
    std::memcpy(&n, data, sizeof n);
    // Mostly numbers near the 32-bit limits, where an off-by-one would hide.
    if (data[0] & 1) n >>= 30;
    const std::wstring decimal = std::to_wstring(n);
    const std::optional<std::int32_t> read = Modul::ReadNumber(decimal);
    const bool inRange = n >= std::numeric_limits<std::int32_t>::min() &&
                         n <= std::numeric_limits<std::int32_t>::max();
    if (inRange ? read != static_cast<std::int32_t>(n) : read.has_value()) {
      Fail("a plain decimal integer does not read as itself", decimal, read);
    }
  }
  return 0;
}

}  // namespace quillet
