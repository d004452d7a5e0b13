// The registry layer's platform on Windows: advapi32 in the host's 32-bit view, the ANSI code
// page, and the OLE Automation date conversions under the user's regional settings.
#pragma once

#include "registry/RegistryPlatform.h"

namespace quillet::ModulRegistrierung {

class Win32Registry : public RegistryPlatform {
 public:
  OwnedKey OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) override;
  CreatedKey CreateKey(RegistryRoot root, const std::string& path, const std::string& keyClass,
                       std::uint32_t access) override;
  bool DeleteKey(RegistryRoot root, const std::string& path) override;

  std::string ToAnsi(std::wstring_view text, bool* exact = nullptr) override;
  std::wstring FromAnsi(std::string_view bytes) override;

  std::wstring DateToText(Date date) override;
  std::optional<Date> TextToDate(std::wstring_view text) override;
};

}  // namespace quillet::ModulRegistrierung
