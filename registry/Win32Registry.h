// The registry layer's platform on Windows: advapi32, the ANSI code page, and the OLE
// Automation date conversions under the user's regional settings.
#pragma once

#include "registry/RegistryPlatform.h"

namespace ModulRegistrierung {

class Win32Registry : public RegistryPlatform {
 public:
  long OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                 std::uint32_t access, RegKey* result) override;
  long CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                   std::uint32_t options, std::uint32_t access, RegKey* result,
                   std::uint32_t* disposition) override;
  long FlushKey(RegKey key) override;
  long CloseKey(RegKey key) override;
  long QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
  long SetValueEx(RegKey key, const std::string& valueName, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
  long DeleteKey(RegKey root, const std::string& subKey) override;

  std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) override;
  std::wstring FromAnsi(std::string_view bytes) override;

  std::wstring DateToText(Date date) override;
  std::optional<Date> TextToDate(std::wstring_view text) override;
};

}  // namespace ModulRegistrierung
