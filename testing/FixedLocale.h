// The conversions of the stand-ins' machine, which has the same settings everywhere: Windows-1252
// as its ANSI code page and no regional date format. Tests also use AnsiOf to spell a wide text,
// such as a registry path from app/Facts.h, as the bytes the registry calls take.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "registry/Locale.h"

namespace quillet {

// Lower-cases as CharLowerBuffW does for the letters an add-on name and the switch can hold
// (text::FoldCase); every other character stays as it is.
std::wstring PortableToLower(std::wstring text);

class FixedLocale : public ModulRegistrierung::Locale {
 public:
  // Windows-1252 as Windows converts it: no best fit, and the five bytes the code page leaves
  // unassigned (81, 8D, 8F, 90, 9D) as the C1 controls of the same number. A character without
  // a Windows-1252 form becomes '?' and sets `*exact` (when given) to false.
  std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) override {
    return AnsiOf(text, exact);
  }
  std::wstring FromAnsi(std::string_view bytes) override { return TextOf(bytes); }

  // The OLE date as a decimal number: writer and reader agree, which is all the registry layer
  // needs. The calendar runs from 01.01.0100 to 31.12.9999 as on Windows; outside it there is
  // no text, and a text that is not such a number is no date.
  std::wstring DateToText(ModulRegistrierung::Date date) override;
  std::optional<ModulRegistrierung::Date> TextToDate(std::wstring_view text) override;
  std::wstring ToLower(std::wstring text) override { return PortableToLower(std::move(text)); }

  // The same conversions without an object, for spelling names in tests.
  static std::string AnsiOf(std::wstring_view text, bool* exact = nullptr);
  static std::wstring TextOf(std::string_view bytes);
};

}  // namespace quillet
