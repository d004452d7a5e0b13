// Registry values as the bytes another program stores: for seeding a registry, and for the
// expected side of a comparison, written without the layer under test.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::stored {

using Bytes = std::vector<std::uint8_t>;

// A REG_SZ as an ANSI reader gets it: the Windows-1252 bytes of `text`, then one NUL.
inline Bytes Sz(std::string_view windows1252) {
  Bytes bytes(windows1252.begin(), windows1252.end());
  bytes.push_back(0);
  return bytes;
}

// The same for a wide text whose characters all lie in Latin-1 (U+0000..U+00FF), where
// Windows-1252 and UTF-16 agree; any other character is a mistake of the test and throws.
inline Bytes Sz(std::wstring_view latin1) {
  std::string narrow;
  for (const wchar_t c : latin1) {
    if (static_cast<unsigned long>(c) > 0xFF) throw std::invalid_argument("Sz: not Latin-1");
    narrow += static_cast<char>(c);
  }
  return Sz(std::string_view(narrow));
}

// A REG_DWORD: four bytes, the least significant first.
inline Bytes Dword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// A value readable in a failure message: "type 1 [Alpha\x00]", printable ASCII as it is.
inline std::string Shown(std::uint32_t type, const Bytes& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text = "type " + std::to_string(type) + " [";
  for (const std::uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F) {
      text += static_cast<char>(b);
    } else {
      text += std::string("\\x") + kHex[b >> 4] + kHex[b & 15];
    }
  }
  return text + "]";
}

}  // namespace quillet::stored
