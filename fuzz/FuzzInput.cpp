#include "fuzz/FuzzInput.h"

namespace quillet::FuzzInput {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendCodePoint(std::wstring& text, char32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    text += static_cast<wchar_t>(0xD800 + (c >> 10));
    text += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
  } else {
    text += static_cast<wchar_t>(c);
  }
}

}  // namespace

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      length = 1;
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      c = lead & 0x1F;
      minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      c = lead & 0x0F;
      minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      c = lead & 0x07;
      minimum = 0x10000;
    }
    bool valid = length > 0 && i + length <= bytes.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      valid = IsContinuation(next);
      c = (c << 6) | (next & 0x3F);
    }
    valid = valid && c >= minimum && c <= 0x10FFFF;
    if (valid) {
      AppendCodePoint(text, c);
      i += length;
    } else {
      text += static_cast<wchar_t>(lead);
      ++i;
    }
  }
  return text;
}

std::vector<std::wstring> Split(const std::uint8_t* data, std::size_t size, std::size_t parts) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::wstring> texts;
  std::size_t start = 0;
  while (texts.size() + 1 < parts) {
    const std::size_t nul = bytes.find('\0', start);
    if (nul == std::string_view::npos) break;
    texts.push_back(DecodeUtf8(bytes.substr(start, nul - start)));
    start = nul + 1;
  }
  texts.push_back(DecodeUtf8(bytes.substr(start)));
  return texts;
}

std::string EncodeUtf8(std::wstring_view text) {
  std::string bytes;
  for (const wchar_t unit : text) {
    const auto c = static_cast<std::uint32_t>(unit);
    if (c < 0x20 || c == 0x7F) {
      static const char digits[] = "0123456789abcdef";
      bytes += "\\x";
      bytes += digits[c >> 4];
      bytes += digits[c & 15];
    } else if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      // Surrogates are written one unit at a time: enough for a readable failure message.
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return bytes;
}

}  // namespace quillet::FuzzInput
