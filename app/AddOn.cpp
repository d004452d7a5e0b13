#include "app/AddOn.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "app/Facts.h"
#include "text/Characters.h"
#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet {

namespace {

namespace reg = ModulRegistrierung;

constexpr reg::RegistryRoot kRoot = reg::kHkeyLocalMachine;
using facts::kAddOnKeyClass;
using facts::kAddOnKeyPrefix;
using facts::kHostKey;
constexpr std::wstring_view kListValue = facts::kAddOnList;
constexpr wchar_t kComma = L',';

std::wstring AddOnKeyPath(const std::wstring& name) { return std::wstring(kAddOnKeyPrefix) + name; }

// The list as stored; the empty text when the key or the value is missing or unreadable.
std::wstring ReadAddOnList(const reg::RegistryContext& ctx) {
  reg::RegistryValue holder = std::wstring();
  reg::ReadRegistryValue(ctx, kRoot, kHostKey, kListValue, holder, /*rawText=*/false);
  if (std::wstring* text = std::get_if<std::wstring>(&holder)) return std::move(*text);
  if (reg::KindOf(holder) == reg::RegistryValueKind::Date) {
    return reg::AsText(holder, ctx.platform.DateToText(std::get<reg::Date>(holder)));
  }
  return reg::AsText(holder);
}

bool WriteAddOnList(const reg::RegistryContext& ctx, std::wstring list) {
  return reg::WriteRegistryValue(ctx, kRoot, kHostKey, kListValue,
                                 reg::RegistryValue(std::move(list)));
}

// ","+name+"," searched in ","+list+",", ignoring letter case, with nothing trimmed or
// unquoted: an element with blanks or quotes around it does not count. Linear in the list's
// length: a name holds no comma, so each candidate comparison ends at the next comma at the
// latest.
bool IsListed(const std::wstring& list, const std::wstring& name) {
  std::wstring haystack;
  haystack.reserve(list.size() + 2);
  haystack += kComma;
  for (wchar_t c : list) haystack += text::FoldCase(c);
  haystack += kComma;
  const std::wstring needle = kComma + text::Folded(name) + kComma;
  return haystack.find(needle) != std::wstring::npos;
}

std::wstring Appended(std::wstring list, const std::wstring& name) {
  if (!list.empty() && list.back() != kComma) list += kComma;
  list += name;
  return list;
}

// The list cut into its elements (trimmed and unquoted by the splitter), without the first one
// that equals `name`, joined again. The other elements come back as the splitter gave them, so
// blanks and quotes around them are gone, and a leading empty element vanishes.
std::wstring WithoutName(std::wstring list, const std::wstring& name) {
  const std::size_t length = list.size();
  const ModulTextZeile2CollectionArray::FieldList elements =
      ModulTextZeile2CollectionArray::TextZeileZerlegen(std::move(list), L",", L"");
  const std::wstring_view wanted = text::TrimBlanks(name);

  const std::size_t count = elements.size();
  std::size_t removedAt = count;
  for (std::size_t i = 0; i < count; ++i) {
    if (text::EqualIgnoringCase(text::TrimBlanks(elements[i]), wanted)) {
      removedAt = i;
      break;
    }
  }

  std::wstring updated;
  updated.reserve(length);
  for (std::size_t i = 0; i < count; ++i) {
    if (i == removedAt) continue;
    if (!updated.empty()) updated += kComma;
    updated += elements[i];
  }
  return updated;
}

}  // namespace

bool AddOnEinrichten(const reg::RegistryContext& ctx, const AddOnEintrag& entry) {
  const std::wstring key = AddOnKeyPath(entry.AddOnName);
  // An existing key is reused as it is, class and foreign values included.
  if (!reg::RegistryKeyExists(ctx, kRoot, key)) {
    reg::CreateRegistryKey(ctx, kRoot, key, kAddOnKeyClass);
  }

  // The host reads these by name; all nine are written on every install, in this order, and a
  // failed write does not keep the others (or the list) from being written.
  const std::pair<std::wstring_view, reg::RegistryValue> values[] = {
      {facts::value::kAddOnName, entry.AddOnName},
      {facts::value::kEinbindungsModus, entry.EinbindungsModus},
      {facts::value::kExeDateiname, entry.ExeDateiname},
      {facts::value::kParameterFest, entry.ParameterFest},
      {facts::value::kParameterZusatz, entry.ParameterZusatz},
      {facts::value::kKurzBeschreibung, entry.KurzBeschreibung},
      {facts::value::kLangBeschreibung, entry.LangBeschreibung},
      {facts::value::kSpezialButtonGrafikName, entry.SpezialButtonGrafikName},
      {facts::value::kSpezialButtonToolTiptext, entry.SpezialButtonToolTiptext},
  };
  bool ok = true;
  for (const auto& [name, value] : values) {
    if (!reg::WriteRegistryValue(ctx, kRoot, key, name, value)) ok = false;
  }

  std::wstring list = ReadAddOnList(ctx);
  if (IsListed(list, entry.AddOnName)) return ok;
  if (!WriteAddOnList(ctx, Appended(std::move(list), entry.AddOnName))) ok = false;
  return ok;
}

bool AddOnEntfernen(const reg::RegistryContext& ctx, const std::wstring& name) {
  bool ok = true;
  const std::wstring key = AddOnKeyPath(name);
  if (reg::RegistryKeyExists(ctx, kRoot, key)) {
    if (!reg::DeleteRegistryKey(ctx, kRoot, key)) ok = false;
  }

  std::wstring list = ReadAddOnList(ctx);
  if (!IsListed(list, name)) return ok;
  // Written back even when nothing was taken out: the list then loses its quotes and blanks.
  if (!WriteAddOnList(ctx, WithoutName(std::move(list), name))) ok = false;
  return ok;
}

}  // namespace quillet
