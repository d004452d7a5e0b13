#include "app/RegistryText.h"

#include <variant>

#include "app/Facts.h"

namespace quillet {

Message InvalidDateNotice(std::wstring_view valueName, std::wstring_view storedText) {
  Message notice;
  notice.title = facts::kInvalidDateTitle;
  notice.text = facts::kInvalidDateBefore;
  notice.text += valueName;
  notice.text += facts::kInvalidDateMiddle;
  notice.text += storedText;
  notice.text += facts::kInvalidDateAfter;
  notice.icon = MessageIcon::Information;
  notice.buttons = MessageButtons::Ok;
  return notice;
}

std::wstring RegistryTextOf(ModulRegistrierung::ReadResult read,
                            const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                            std::wstring_view valueName) {
  namespace mr = ModulRegistrierung;
  if (read.invalidDateText) prompts.Show(InvalidDateNotice(valueName, *read.invalidDateText));
  if (std::wstring* text = std::get_if<std::wstring>(&read.value)) return std::move(*text);
  if (const mr::Date* date = std::get_if<mr::Date>(&read.value)) {
    return mr::AsText(read.value, registry.locale.DateToText(*date));
  }
  return mr::AsText(read.value);
}

std::wstring ReadRegistryText(const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                              ModulRegistrierung::Root root, std::wstring_view subKeyPath,
                              std::wstring_view valueName) {
  return RegistryTextOf(
      ModulRegistrierung::ReadRegistryValue(registry, root, subKeyPath, valueName), registry,
      prompts, valueName);
}

}  // namespace quillet
