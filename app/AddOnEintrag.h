// The add-on record: nine fields, named like the registry values they become.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

struct AddOnEintrag {
  std::wstring AddOnName;
  std::wstring KurzBeschreibung;
  std::wstring ExeDateiname;
  std::int32_t EinbindungsModus = 0;
  std::wstring ParameterFest;
  std::int32_t ParameterZusatz = 0;
  std::wstring LangBeschreibung;
  std::wstring SpezialButtonGrafikName;
  std::wstring SpezialButtonToolTiptext;
  friend bool operator==(const AddOnEintrag&, const AddOnEintrag&) = default;
};

}  // namespace quillet
