#include "registry/RegistryValue.h"

#include "text/DecimalText.h"

namespace quillet::ModulRegistrierung {

std::wstring AsText(const RegistryValue& value, const std::wstring& dateText) {
  switch (KindOf(value)) {
    case RegistryValueKind::Empty:
      return {};
    case RegistryValueKind::Integer16:
      return text::DecimalText(std::get<std::int16_t>(value));
    case RegistryValueKind::Integer32:
      return text::DecimalText(std::get<std::int32_t>(value));
    case RegistryValueKind::Boolean:
      return std::get<bool>(value) ? L"True" : L"False";
    case RegistryValueKind::Date:
      return dateText;
    case RegistryValueKind::Text:
      return std::get<std::wstring>(value);
  }
  return {};
}

}  // namespace quillet::ModulRegistrierung
