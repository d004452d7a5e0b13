// Fuzzes TextZeileZerlegen with any line and any delimiters.
//
// Input: the line, then optionally a NUL byte and the delimiter, then optionally a NUL byte
// and the second delimiter, all UTF-8 (FuzzInput). Without them the delimiters are the ones
// both callers pass: "," and the empty text. A seed is therefore just a line.
//
// Invariants, checked on every input:
//  1. No crash, hang or out-of-bounds access (ASan, UBSan, libFuzzer's timeout).
//  2. The fields together are no longer than the line: nothing is invented, nothing repeated.
//  3. There are at most (length of the trimmed line + 1) fields, and none for a line that is
//     empty or all blanks.
//  4. For a line with no double quote and no line feed, cut at a one-character delimiter
//     (and a one-character second delimiter or none) that is neither a blank, a double quote
//     nor a line feed: k delimiters in the line give k + 1 fields, each the piece between them
//     trimmed of blanks - the plain split that every caller expects.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "text/Characters.h"
#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet {

namespace {

using ModulTextZeile2CollectionArray::FieldList;
using ModulTextZeile2CollectionArray::TextZeileZerlegen;
using text::Trimmed;

[[noreturn]] void Fail(const char* what, const std::wstring& line) {
  std::fprintf(stderr, "splitter invariant broken: %s\nline: [%s]\n", what,
               FuzzInput::EncodeUtf8(line).c_str());
  std::abort();
}

bool IsPlainDelimiter(const std::wstring& delimiter) {
  return delimiter.size() == 1 && delimiter[0] != L' ' && delimiter[0] != L'"' &&
         delimiter[0] != L'\n';
}

// The reference for invariant 4: cut at every occurrence of either character, trim each piece.
FieldList PlainSplit(const std::wstring& line, const std::wstring& delimiter,
                     const std::wstring& second) {
  FieldList pieces;
  if (Trimmed(line).empty()) return pieces;
  std::wstring piece;
  for (const wchar_t c : line) {
    if (c == delimiter[0] || (!second.empty() && c == second[0])) {
      pieces.push_back(Trimmed(piece));
      piece.clear();
    } else {
      piece += c;
    }
  }
  pieces.push_back(Trimmed(piece));
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::wstring> parts = FuzzInput::Split(data, size, 3);
  const std::wstring& line = parts[0];
  const std::wstring delimiter = parts.size() > 1 ? parts[1] : L",";
  const std::wstring second = parts.size() > 2 ? parts[2] : L"";

  const FieldList fields = TextZeileZerlegen(line, delimiter, second);

  std::size_t total = 0;
  for (const std::wstring& field : fields) total += field.size();
  if (total > line.size()) Fail("the fields are longer than the line", line);

  const std::size_t trimmed = Trimmed(line).size();
  if (fields.size() > trimmed + 1) Fail("more fields than characters", line);
  if (trimmed == 0 && !fields.empty()) Fail("fields from an empty or blank line", line);

  const bool plainLine = line.find_first_of(L"\"\n") == std::wstring::npos;
  if (plainLine && IsPlainDelimiter(delimiter) && (second.empty() || IsPlainDelimiter(second))) {
    if (fields != PlainSplit(line, delimiter, second)) {
      Fail("a line without quotes is not cut at each delimiter", line);
    }
  }
  return 0;
}

}  // namespace quillet
