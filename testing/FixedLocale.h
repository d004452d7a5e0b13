// The conversions of the stand-ins' machine, which has the same settings everywhere: Windows-1252
// as its ANSI code page and no regional date format. Tests also use ToAnsi to spell a wide text,
// such as a registry path from app/Facts.h, as the bytes the registry calls take.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "registry/RegistryValue.h"

namespace quillet::FixedLocale {

// Windows-1252 as Windows converts it: no best fit, and the five bytes the code page leaves
// unassigned (81, 8D, 8F, 90, 9D) as the C1 controls of the same number. A character without a
// Windows-1252 form becomes '?' and sets `*exact` (when given) to false.
std::string ToAnsi(std::wstring_view text, bool* exact = nullptr);
std::wstring FromAnsi(std::string_view bytes);

// The OLE date as a decimal number: writer and reader agree, which is all the registry layer
// needs. The calendar runs from 01.01.0100 to 31.12.9999 as on Windows; outside it there is no
// text, and a text that is not such a number is no date.
std::wstring DateToText(ModulRegistrierung::Date date);
std::optional<ModulRegistrierung::Date> TextToDate(std::wstring_view text);

}  // namespace quillet::FixedLocale
