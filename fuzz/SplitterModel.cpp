#include "fuzz/SplitterModel.h"

namespace quillet::SplitterModel {

namespace {

constexpr wchar_t kBlank = L' ';
constexpr wchar_t kQuote = L'"';
constexpr wchar_t kLineFeed = L'\n';

// Whether the non-empty `what` begins at position `p` (from 1) of `line`.
bool BeginsAt(std::wstring_view line, std::size_t p, std::wstring_view what) {
  return !what.empty() && p - 1 + what.size() <= line.size() &&
         line.substr(p - 1, what.size()) == what;
}

}  // namespace

std::wstring TrimBlanks(std::wstring_view text) {
  while (!text.empty() && text.front() == kBlank) text.remove_prefix(1);
  while (!text.empty() && text.back() == kBlank) text.remove_suffix(1);
  return std::wstring(text);
}

std::wstring StripQuotePair(std::wstring_view text) {
  if (text.size() >= 2 && text.front() == kQuote && text.back() == kQuote) {
    text = text.substr(1, text.size() - 2);
  }
  return std::wstring(text);
}

std::vector<std::wstring> Split(std::wstring_view rawLine, std::wstring_view delimiter,
                                std::wstring_view second) {
  std::vector<std::wstring> fields;
  const std::wstring line = TrimBlanks(rawLine);
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
    std::wstring field = TrimBlanks(std::wstring_view(line).substr(cursor - 1, end - cursor));
    if (!field.empty() && field.front() == kLineFeed) field.erase(0, 1);
    fields.push_back(StripQuotePair(field));
    // One character past the field is skipped, whatever it is and however long the delimiter.
    cursor = end + 1;
  }
  return fields;
}

}  // namespace quillet::SplitterModel
