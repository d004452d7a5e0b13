// Character rules shared by the splitter, the pass, the add-on list and the stand-ins, so that
// each is decided in one place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::text {

// Letter case folded without the platform, so that the add-on list compares the same on every
// system and in the tests: ASCII, the Latin-1 capitals (U+00C0..U+00DE without the
// multiplication sign U+00D7) and the four capitals Windows-1252 adds (Š, Œ, Ž, Ÿ). Every other
// character stays as it is, as U+0130, U+212A, ß and U+1E9E do under Windows' own lowering.
constexpr wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + (L'a' - L'A'));
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);
  if (c == 0x160 || c == 0x152 || c == 0x17D) return static_cast<wchar_t>(c + 1);  // Š Œ Ž
  if (c == 0x178) return 0xFF;                                                     // Ÿ
  return c;
}

inline std::wstring Folded(std::wstring_view text) {
  std::wstring folded(text);
  for (wchar_t& c : folded) c = FoldCase(c);
  return folded;
}

inline bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// How many UTF-16 units the character at `text[i]` takes: 2 for a surrogate pair, else 1 (a
// lone surrogate counts as a character of its own).
constexpr std::size_t CharacterLength(std::wstring_view text, std::size_t i) {
  const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
  const bool lowFollows = i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
  return high && lowFollows ? 2 : 1;
}

// `text` without the blank (U+0020) at either end, and nothing else: tabs, CR and LF stay.
constexpr std::wstring_view TrimBlanks(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// The same as a text of its own.
inline std::wstring Trimmed(std::wstring_view text) { return std::wstring(TrimBlanks(text)); }

}  // namespace quillet::text
