// The locale of the DLL: the exe's, with oleaut32 (its date conversions) loaded from the system
// directory for each conversion and freed after it, as a guest does with what it needs.
#pragma once

#include "win32/Win32Locale.h"
#include "win32/dll/SystemLibrary.h"

namespace quillet::guest {

class GuestLocale : public ModulRegistrierung::Win32Locale {
 public:
  std::wstring DateToText(ModulRegistrierung::Date date) override {
    const SystemLibraries automation{L"oleaut32.dll"};
    return Win32Locale::DateToText(date);
  }
  std::optional<ModulRegistrierung::Date> TextToDate(std::wstring_view text) override {
    const SystemLibraries automation{L"oleaut32.dll"};
    return Win32Locale::TextToDate(text);
  }
};

}  // namespace quillet::guest
