// Windows-1252, the ANSI code page of the stand-ins, as Windows converts it: no best fit, and
// the five bytes the code page leaves unassigned (81, 8D, 8F, 90, 9D) as the C1 controls of the
// same number. Tests also use it to spell a wide text, such as a registry path from
// app/Facts.h, as the bytes the registry calls take.
#pragma once

#include <string>
#include <string_view>

namespace windows1252 {

// A character without a Windows-1252 form becomes '?' and sets `*exact` (when given) to false.
std::string Encode(std::wstring_view text, bool* exact = nullptr);
std::wstring Decode(std::string_view bytes);

}  // namespace windows1252
