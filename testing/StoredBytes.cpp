#include "testing/StoredBytes.h"

#include <stdexcept>

namespace quillet::stored {

Bytes Sz(std::string_view windows1252) {
  Bytes bytes(windows1252.begin(), windows1252.end());
  bytes.push_back(0);
  return bytes;
}

Bytes Sz(std::wstring_view latin1) {
  Bytes bytes;
  for (const wchar_t c : latin1) {
    if (static_cast<unsigned long>(c) > 0xFF) throw std::invalid_argument("Sz: not Latin-1");
    bytes.push_back(static_cast<std::uint8_t>(c));
  }
  bytes.push_back(0);
  return bytes;
}

Bytes Dword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::string Shown(std::uint32_t type, const Bytes& bytes) {
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
