// Fuzzes TextZeileZerlegen and AnfuehrungszeichenEntfernen with any line and any delimiters.
//
// Input: the line, then optionally a NUL byte and the delimiter, then optionally a NUL byte
// and the second delimiter, all UTF-8 (FuzzInput). Without them the delimiters are the ones
// both callers pass: "," and the empty text. A seed is therefore just a line.
//
// Invariants, checked on every input:
//  1. No crash, hang or out-of-bounds access (ASan, UBSan, libFuzzer's timeout).
//  2. The fields are exactly those of the independent model (SplitterModel): quotes, both
//     delimiters of any length, line feeds, blanks, an unclosed quote. The line on its own,
//     given to AnfuehrungszeichenEntfernen, loses the same quote pair as in the model.
//  3. A net under both: the fields together are no longer than the line (nothing invented,
//     nothing repeated), there are at most (length of the trimmed line + 1) of them, and none
//     for a line that is empty or all blanks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "fuzz/SplitterModel.h"
#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet {

namespace {

using ModulTextZeile2CollectionArray::AnfuehrungszeichenEntfernen;
using ModulTextZeile2CollectionArray::FieldList;
using ModulTextZeile2CollectionArray::TextZeileZerlegen;

std::string Fields(const FieldList& fields) {
  std::string text;
  for (const std::wstring& field : fields) text += "[" + FuzzInput::EncodeUtf8(field) + "]";
  return text;
}

[[noreturn]] void Fail(const char* what, const std::wstring& line, const FieldList& fields,
                       const FieldList& expected) {
  std::fprintf(stderr, "splitter invariant broken: %s\nline: [%s]\nfields: %s\nmodel:  %s\n", what,
               FuzzInput::EncodeUtf8(line).c_str(), Fields(fields).c_str(),
               Fields(expected).c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::wstring> parts = FuzzInput::Split(data, size, 3);
  const std::wstring& line = parts[0];
  const std::wstring delimiter = parts.size() > 1 ? parts[1] : L",";
  const std::wstring second = parts.size() > 2 ? parts[2] : L"";

  const FieldList fields = TextZeileZerlegen(line, delimiter, second);
  const FieldList expected = SplitterModel::Split(line, delimiter, second);
  if (fields != expected) Fail("the fields differ from the model's", line, fields, expected);
  if (AnfuehrungszeichenEntfernen(line) != SplitterModel::StripQuotePair(line)) {
    Fail("the quote pair of the whole line differs from the model's", line, {}, {});
  }

  std::size_t total = 0;
  for (const std::wstring& field : fields) total += field.size();
  if (total > line.size()) Fail("the fields are longer than the line", line, fields, expected);
  const std::size_t trimmed = SplitterModel::TrimBlanks(line).size();
  if (fields.size() > trimmed + 1) Fail("more fields than characters", line, fields, expected);
  if (trimmed == 0 && !fields.empty()) {
    Fail("fields from an empty or blank line", line, fields, expected);
  }
  return 0;
}

}  // namespace quillet
