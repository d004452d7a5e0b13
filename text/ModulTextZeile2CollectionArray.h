// Cuts one delimited line of text into trimmed, unquoted fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

namespace ModulTextZeile2CollectionArray {

// The fields of a line, in order. Always a value the caller owns; a line with nothing in it
// gives an empty list.
using FieldList = std::vector<std::wstring>;

// Splits `input` at `delimiter` and, when `delimiter2` is not empty, also at `delimiter2` (an empty
// `delimiter` splits nothing: the whole line is one field). A field written between double quotes
// may hold the delimiters; each field is trimmed and loses one pair of surrounding double quotes. A
// double quote at the start of a field with no closing one makes that field run to the end of the
// line, keeping its lone quote: such a line is never refused.
FieldList TextZeileZerlegen(std::wstring input, std::wstring delimiter, std::wstring delimiter2);

// `text` without its first and last character when it has at least two and both are double
// quotes; otherwise `text` unchanged.
std::wstring AnfuehrungszeichenEntfernen(std::wstring text);

}  // namespace ModulTextZeile2CollectionArray

}  // namespace quillet
