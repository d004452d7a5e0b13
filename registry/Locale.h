// The conversions at the registry's boundary: texts to and from the ANSI code page the host
// reads, dates to and from text under the user's regional settings, and the lower case names
// are compared in. Win32Locale binds them
// on Windows, FixedLocale in tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "registry/RegistryValue.h"

namespace quillet::ModulRegistrierung {

class Locale {
 public:
  virtual ~Locale() = default;

  // `text` in the ANSI code page, one byte per character, without best-fit mapping: a character
  // with no exact ANSI form becomes '?' and sets `*exact` (when given) to false.
  virtual std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) = 0;
  virtual std::wstring FromAnsi(std::string_view bytes) = 0;

  // The date as text, empty for a date outside the calendar; and back, nullopt when the text
  // is no date. A date written with DateToText reads back equal as far as the text carries it.
  virtual std::wstring DateToText(Date date) = 0;
  virtual std::optional<Date> TextToDate(std::wstring_view text) = 0;

  // `text` lower-cased by the platform's ordinary rules, character by character (no case
  // folding: "ß" and U+0130 stay as they are), as names are compared.
  virtual std::wstring ToLower(std::wstring text) = 0;
};

}  // namespace quillet::ModulRegistrierung
