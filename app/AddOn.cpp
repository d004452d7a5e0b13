#include "app/AddOn.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "app/Facts.h"
#include "text/Characters.h"
#include "text/ModulTextZeile2CollectionArray.h"

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
std::wstring ListeLesen(const reg::RegistryContext& ctx) {
  reg::RegistryValue holder = std::wstring();
  reg::ReadRegistryValue(ctx, kRoot, kHostKey, kListValue, holder, /*rawText=*/false);
  if (std::wstring* text = std::get_if<std::wstring>(&holder)) return std::move(*text);
  if (reg::KindOf(holder) == reg::RegistryValueKind::Date) {
    return reg::AsText(holder, ctx.platform.DateToText(std::get<reg::Date>(holder)));
  }
  return reg::AsText(holder);
}

bool ListeSchreiben(const reg::RegistryContext& ctx, std::wstring liste) {
  return reg::WriteRegistryValue(ctx, kRoot, kHostKey, kListValue,
                                 reg::RegistryValue(std::move(liste)));
}

// ","+name+"," searched in ","+list+",", ignoring letter case, with nothing trimmed or
// unquoted: an element with blanks or quotes around it does not count. Linear in the list's
// length: a name holds no comma, so each candidate comparison ends at the next comma at the
// latest.
bool IstInListe(const std::wstring& liste, const std::wstring& name) {
  std::wstring heuhaufen;
  heuhaufen.reserve(liste.size() + 2);
  heuhaufen += kComma;
  for (wchar_t c : liste) heuhaufen += text::FoldCase(c);
  heuhaufen += kComma;
  const std::wstring nadel = kComma + text::Folded(name) + kComma;
  return heuhaufen.find(nadel) != std::wstring::npos;
}

std::wstring Angehaengt(std::wstring liste, const std::wstring& name) {
  if (!liste.empty() && liste.back() != kComma) liste += kComma;
  liste += name;
  return liste;
}

// The list cut into its elements (trimmed and unquoted by the splitter), without the first one
// that equals `name`, joined again. The other elements come back as the splitter gave them, so
// blanks and quotes around them are gone, and a leading empty element vanishes.
std::wstring Entfernt(std::wstring liste, const std::wstring& name) {
  const std::size_t laenge = liste.size();
  const ModulTextZeile2CollectionArray::FeldListe elemente =
      ModulTextZeile2CollectionArray::TextZeileZerlegen(std::move(liste), L",", L"");
  const std::wstring_view gesucht = text::TrimBlanks(name);

  const std::size_t anzahl = elemente.size();
  std::size_t entfernt = anzahl;
  for (std::size_t i = 0; i < anzahl; ++i) {
    if (text::EqualIgnoringCase(text::TrimBlanks(elemente[i]), gesucht)) {
      entfernt = i;
      break;
    }
  }

  std::wstring neu;
  neu.reserve(laenge);
  for (std::size_t i = 0; i < anzahl; ++i) {
    if (i == entfernt) continue;
    if (!neu.empty()) neu += kComma;
    neu += elemente[i];
  }
  return neu;
}

}  // namespace

bool AddOnEinrichten(const reg::RegistryContext& ctx, const AddOnEintrag& eintrag) {
  const std::wstring key = AddOnKeyPath(eintrag.AddOnName);
  // An existing key is reused as it is, class and foreign values included.
  if (!reg::RegistryKeyExists(ctx, kRoot, key)) {
    reg::CreateRegistryKey(ctx, kRoot, key, kAddOnKeyClass);
  }

  // The host reads these by name; all nine are written on every install, in this order, and a
  // failed write does not keep the others (or the list) from being written.
  const std::pair<std::wstring_view, reg::RegistryValue> werte[] = {
      {L"AddOnName", eintrag.AddOnName},
      {L"EinbindungsModus", eintrag.EinbindungsModus},
      {L"ExeDateiname", eintrag.ExeDateiname},
      {L"ParameterFest", eintrag.ParameterFest},
      {L"ParameterZusatz", eintrag.ParameterZusatz},
      {L"KurzBeschreibung", eintrag.KurzBeschreibung},
      {L"LangBeschreibung", eintrag.LangBeschreibung},
      {L"SpezialButtonGrafikName", eintrag.SpezialButtonGrafikName},
      {L"SpezialButtonToolTiptext", eintrag.SpezialButtonToolTiptext},
  };
  bool ok = true;
  for (const auto& [name, wert] : werte) {
    if (!reg::WriteRegistryValue(ctx, kRoot, key, name, wert)) ok = false;
  }

  std::wstring liste = ListeLesen(ctx);
  if (IstInListe(liste, eintrag.AddOnName)) return ok;
  if (!ListeSchreiben(ctx, Angehaengt(std::move(liste), eintrag.AddOnName))) ok = false;
  return ok;
}

bool AddOnEntfernen(const reg::RegistryContext& ctx, const std::wstring& name) {
  bool ok = true;
  const std::wstring key = AddOnKeyPath(name);
  if (reg::RegistryKeyExists(ctx, kRoot, key)) {
    if (!reg::DeleteRegistryKey(ctx, kRoot, key)) ok = false;
  }

  std::wstring liste = ListeLesen(ctx);
  if (!IstInListe(liste, name)) return ok;
  // Written back even when nothing was taken out: the list then loses its quotes and blanks.
  if (!ListeSchreiben(ctx, Entfernt(std::move(liste), name))) ok = false;
  return ok;
}
