// A second implementation of the field list splitter, for the fuzzers' expectations. It is
// written from the splitter's rules alone, apart from the product's code (its own trim, its own
// search, positions counted from 1 as the rules count them), so that the two check each other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet::SplitterModel {

// `text` without the blanks (U+0020) at both ends; tabs, CR and LF stay.
std::wstring TrimBlanks(std::wstring_view text);

// `text` without its first and last character when it has at least two and both are double
// quotes; otherwise `text` unchanged.
std::wstring StripQuotePair(std::wstring_view text);

// The fields of `line` cut at `delimiter` and `second`. An empty delimiter, either one, cuts
// nothing. A field whose opening quote never closes runs to the end of the line.
std::vector<std::wstring> Split(std::wstring_view line, std::wstring_view delimiter,
                                std::wstring_view second);

}  // namespace quillet::SplitterModel
