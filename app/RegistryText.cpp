#include "app/RegistryText.h"

#include <variant>

namespace quillet {

Message InvalidDateNotice(std::wstring_view valueName, std::wstring_view storedText) {
  Message notice;
  notice.title = L"Ungültiger Datumswert";
  notice.text = L"Registrierung: ";
  notice.text += valueName;
  notice.text += L" enthält den ungültigen Datumswert: ";
  notice.text += storedText;
  notice.text += L"\r\nDer Standardwert wird verwendet.";
  notice.icon = MessageIcon::Information;
  notice.buttons = MessageButtons::Ok;
  return notice;
}

std::wstring ReadRegistryText(const ModulRegistrierung::RegistryContext& registry,
                              Frontend& frontend, ModulRegistrierung::Root root,
                              std::wstring_view subKeyPath, std::wstring_view valueName) {
  namespace mr = ModulRegistrierung;
  mr::ReadResult read = mr::ReadRegistryValue(registry, root, subKeyPath, valueName);
  if (read.invalidDateText) frontend.Show(InvalidDateNotice(valueName, *read.invalidDateText));
  if (std::wstring* text = std::get_if<std::wstring>(&read.value)) return std::move(*text);
  if (const mr::Date* date = std::get_if<mr::Date>(&read.value)) {
    return mr::AsText(read.value, registry.locale.DateToText(*date));
  }
  return mr::AsText(read.value);
}

}  // namespace quillet
