#include "text/ModulTextZeile2CollectionArray.h"

#include "text/Characters.h"

#include <algorithm>

namespace quillet {

namespace ModulTextZeile2CollectionArray {

namespace {

constexpr wchar_t kQuote = L'"';
constexpr wchar_t kLineFeed = L'\n';

// Whether position `i` of `line` lies between two characters, not inside a surrogate pair.
bool OnCharacterBoundary(const std::wstring& line, std::size_t i) {
  return i == 0 || i >= line.size() || text::CharacterLength(line, i - 1) == 1;
}

// Where `delimiter` first occurs at or after `from` as whole characters: a delimiter that is
// half of a surrogate pair does not cut the pair apart. npos when it does not occur.
std::size_t FindWhole(const std::wstring& line, const std::wstring& delimiter, std::size_t from) {
  for (std::size_t at = line.find(delimiter, from); at != std::wstring::npos;
       at = line.find(delimiter, at + 1)) {
    if (OnCharacterBoundary(line, at) && OnCharacterBoundary(line, at + delimiter.size())) {
      return at;
    }
  }
  return std::wstring::npos;
}

// Position (0-based) where the earlier of the two delimiters begins at or after `from`, or
// `line.size()` when neither occurs. Searching forward from the cursor keeps the whole split
// linear in the length of the line.
std::size_t NextDelimiter(const std::wstring& line, std::size_t from, const std::wstring& first,
                          const std::wstring& second) {
  std::size_t end = std::wstring::npos;
  for (const std::wstring* delimiter : {&first, &second}) {
    if (delimiter->empty()) continue;
    end = std::min(end, FindWhole(line, *delimiter, from));
  }
  return end == std::wstring::npos ? line.size() : end;
}

}  // namespace

FieldList TextZeileZerlegen(std::wstring input, std::wstring delimiter, std::wstring delimiter2) {
  FieldList fields;
  const std::wstring line = text::Trimmed(input);
  const std::size_t n = line.size();
  if (n == 0) return fields;

  // 0-based throughout: `cursor` is where the field starts, `end` the position just past it.
  // The loop is governed by `end`: it stops after the first field that reaches the end of the
  // line, so a delimiter at the very end still yields a final empty field.
  std::size_t cursor = 0;
  std::size_t end = 0;
  while (end < n) {
    if (cursor < n && line[cursor] == kQuote) {
      const std::size_t closing = line.find(kQuote, cursor + 1);
      end = closing == std::wstring::npos ? n : closing + 1;
    } else {
      end = NextDelimiter(line, cursor, delimiter, delimiter2);
    }

    std::wstring field = text::Trimmed(std::wstring_view(line).substr(cursor, end - cursor));
    if (!field.empty() && field.front() == kLineFeed) field.erase(0, 1);
    fields.push_back(AnfuehrungszeichenEntfernen(std::move(field)));

    // Exactly one character past the field is skipped, whatever it is and however long the
    // delimiter: callers rely on that for multi-character delimiters such as CR LF. A surrogate
    // pair is one character and goes as a whole, so no field begins with half of one.
    cursor = end + (end < n ? text::CharacterLength(line, end) : 1);
  }
  return fields;
}

std::wstring AnfuehrungszeichenEntfernen(std::wstring text) {
  if (text.size() >= 2 && text.front() == kQuote && text.back() == kQuote) {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

}  // namespace ModulTextZeile2CollectionArray

}  // namespace quillet
