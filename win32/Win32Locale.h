// The locale on Windows: the ANSI code page, the OLE Automation date conversions under the
// user's regional settings, and CharLowerBuffW's lower case.
#pragma once

#include "registry/Locale.h"

namespace quillet::ModulRegistrierung {

class Win32Locale : public Locale {
 public:
  std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) override;
  std::wstring FromAnsi(std::string_view bytes) override;
  std::wstring DateToText(Date date) override;
  std::optional<Date> TextToDate(std::wstring_view text) override;
  std::wstring ToLower(std::wstring text) override;
};

}  // namespace quillet::ModulRegistrierung
