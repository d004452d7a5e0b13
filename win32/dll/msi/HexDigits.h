// The hexadecimal digits of the undo records' names and of the installation's token.
#pragma once

#include <cstdint>
#include <string>

namespace quillet::msi {

constexpr bool IsHexDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// Appends the low `digits` hexadecimal digits of `value`, most significant first, in lower case.
inline void AppendHex(std::wstring& text, std::uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    text += L"0123456789abcdef"[(value >> shift) & 0xF];
  }
}

}  // namespace quillet::msi
