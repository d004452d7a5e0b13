#include "fuzz/SplitterModel.h"

namespace quillet::SplitterModel {

namespace {

// The model works on characters, as the rules count them: a surrogate pair is one character
// (its code point), a lone surrogate one of its own.
using Characters = std::u32string;

constexpr char32_t kBlank = U' ';
constexpr char32_t kQuote = U'"';
constexpr char32_t kLineFeed = U'\n';

Characters ToCharacters(std::wstring_view units) {
  Characters text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = static_cast<char32_t>(units[i]);
    const char32_t next = i + 1 < units.size() ? static_cast<char32_t>(units[i + 1]) : 0;
    if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
      text += 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
      ++i;
    } else {
      text += static_cast<char32_t>(units[i]);
    }
  }
  return text;
}

std::wstring ToUnits(const Characters& text) {
  std::wstring units;
  for (const char32_t c : text) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
      units += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      units += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      units += static_cast<wchar_t>(c);
    }
  }
  return units;
}

Characters Trim(Characters text) {
  while (!text.empty() && text.back() == kBlank) text.pop_back();
  std::size_t first = 0;
  while (first < text.size() && text[first] == kBlank) ++first;
  return text.substr(first);
}

Characters StripPair(Characters text) {
  if (text.size() >= 2 && text.front() == kQuote && text.back() == kQuote) {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

// Whether the non-empty `what` begins at position `p` (from 1) of `line`.
bool BeginsAt(const Characters& line, std::size_t p, const Characters& what) {
  return !what.empty() && p - 1 + what.size() <= line.size() &&
         line.compare(p - 1, what.size(), what) == 0;
}

}  // namespace

std::wstring TrimBlanks(std::wstring_view text) { return ToUnits(Trim(ToCharacters(text))); }

std::wstring StripQuotePair(std::wstring_view text) {
  return ToUnits(StripPair(ToCharacters(text)));
}

std::vector<std::wstring> Split(std::wstring_view rawLine, std::wstring_view rawDelimiter,
                                std::wstring_view rawSecond) {
  std::vector<std::wstring> fields;
  const Characters line = Trim(ToCharacters(rawLine));
  const Characters delimiter = ToCharacters(rawDelimiter);
  const Characters second = ToCharacters(rawSecond);
  const std::size_t n = line.size();
  if (n == 0) return fields;
  const auto at = [&line](std::size_t p) { return line[p - 1]; };

  // Positions from 1; `end` is where the field stops (its delimiter, or just past its closing
  // quote), n + 1 at the end of the line. The first field that reaches n + 1 is the last.
  std::size_t cursor = 1;
  std::size_t end = 0;
  while (end <= n) {
    if (cursor <= n && at(cursor) == kQuote) {
      std::size_t closing = cursor + 1;
      while (closing <= n && at(closing) != kQuote) ++closing;
      // Without a closing quote the field takes the rest of the line, lone quote and all.
      end = closing <= n ? closing + 1 : n + 1;
    } else {
      end = cursor;
      while (end <= n && !BeginsAt(line, end, delimiter) && !BeginsAt(line, end, second)) ++end;
    }
    Characters field = Trim(line.substr(cursor - 1, end - cursor));
    if (!field.empty() && field.front() == kLineFeed) field.erase(0, 1);
    fields.push_back(ToUnits(StripPair(field)));
    // One character past the field is skipped, whatever it is and however long the delimiter.
    cursor = end + 1;
  }
  return fields;
}

}  // namespace quillet::SplitterModel
