#include "app/Pass.h"

#include <optional>
#include <string>

#include "app/AddOn.h"
#include "app/AddOnEintrag.h"
#include "app/Facts.h"
#include "app/Modul.h"
#include "app/VersionGate.h"
#include "text/Characters.h"
#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet {

namespace {

using ModulTextZeile2CollectionArray::FieldList;
using ModulTextZeile2CollectionArray::TextZeileZerlegen;
using text::Trimmed;

// Longer field values are cut in the overflow message, so that the box stays readable.
constexpr std::size_t kMaxShownLength = 64;

Message UsageMessage() {
  return Message{facts::kUsageTitle, facts::kUsageText, MessageIcon::Information,
                 MessageButtons::Ok};
}

Message InvalidCharacterMessage(const std::wstring& character) {
  return Message{facts::kErrorTitle,
                 L"Das Zeichen (" + character + L") ist im AddOn-Namen nicht erlaubt.",
                 MessageIcon::Error, MessageButtons::Ok};
}

Message OverflowMessage(int field, const wchar_t* name, const std::wstring& value) {
  std::wstring shown =
      value.size() > kMaxShownLength ? value.substr(0, kMaxShownLength) + L"..." : value;
  return Message{facts::kErrorTitle,
                 L"Überlauf: Der Wert (" + shown + L") in Feld " + std::to_wstring(field) + L" (" +
                     name + L") liegt außerhalb des Zahlenbereichs von -2147483648 bis 2147483647.",
                 MessageIcon::Error, MessageButtons::Ok};
}

// The first character of `name` (a surrogate pair counting as one) that the registry's ANSI
// code page cannot hold exactly; empty when there is none. Such a name would be stored with a
// different character than it was given with.
std::wstring FirstCharacterWithoutAnsiForm(const std::wstring& name,
                                           ModulRegistrierung::RegistryPlatform& registry) {
  for (std::size_t i = 0; i < name.size();) {
    std::wstring character = name.substr(i, text::CharacterLength(name, i));
    bool exact = true;
    registry.ToAnsi(character, &exact);
    if (!exact) return character;
    i += character.size();
  }
  return {};
}

// Fills the record from four to nine fields. False when a number field overflows; the
// overflow message has then been shown.
bool ReadFields(FieldList fields, AddOnEintrag& entry, Platform& platform) {
  if (fields.size() < 9) fields.resize(9);
  entry.AddOnName = Trimmed(fields[0]);
  entry.KurzBeschreibung = Trimmed(fields[1]);
  entry.ExeDateiname = Trimmed(fields[2]);

  std::optional<std::int32_t> mode = Modul::ReadNumber(fields[3]);
  if (!mode) {
    platform.Show(OverflowMessage(4, facts::value::kEinbindungsModus, fields[3]));
    return false;
  }
  entry.EinbindungsModus = *mode;
  entry.ParameterFest = fields[4];
  std::optional<std::int32_t> extra = Modul::ReadNumber(fields[5]);
  if (!extra) {
    platform.Show(OverflowMessage(6, facts::value::kParameterZusatz, fields[5]));
    return false;
  }
  entry.ParameterZusatz = *extra;
  entry.LangBeschreibung = fields[6];
  entry.SpezialButtonGrafikName = fields[7];
  entry.SpezialButtonToolTiptext = fields[8];

  if (entry.SpezialButtonGrafikName.empty())
    entry.SpezialButtonGrafikName = facts::kDefaultButtonPicture;
  if (entry.SpezialButtonToolTiptext.empty())
    entry.SpezialButtonToolTiptext = entry.KurzBeschreibung;
  return true;
}

}  // namespace

ExitStatus RunPass(Platform& platform, ModulRegistrierung::RegistryPlatform& registry) {
  const ModulRegistrierung::RegistryContext reg{registry, platform};

  std::wstring arguments = platform.ArgumentText();
  bool silent = false;
  RunMode mode = RunMode::None;
  AddOnEintrag entry;

  // The gate comes first: its question is asked in silent runs and for empty command lines too.
  if (!CheckHostVersion(reg, platform)) return ExitStatus::HostOutdated;

  if (platform.ToLower(arguments.substr(0, 2)) == L"-s") {
    silent = true;
    arguments = Trimmed(std::wstring_view(arguments).substr(2));
  }

  FieldList fields = TextZeileZerlegen(arguments, L",", L"");
  if (fields.empty()) {
    platform.Show(UsageMessage());
  } else if (fields.size() <= 2) {
    mode = RunMode::Remove;
    entry.AddOnName = Trimmed(fields[0]);
  } else if (fields.size() == 3) {
    mode = RunMode::Install;
    entry.AddOnName = Trimmed(fields[0]);
    entry.KurzBeschreibung = Trimmed(fields[1]);
    entry.ExeDateiname = Trimmed(fields[2]);
    entry.EinbindungsModus = facts::kDefaultEinbindungsModus;
    entry.ParameterZusatz = facts::kDefaultParameterZusatz;
    entry.SpezialButtonGrafikName = facts::kDefaultButtonPicture;
    entry.SpezialButtonToolTiptext = entry.KurzBeschreibung;
  } else {
    mode = RunMode::Install;
    // An overflowing number stops the run before anything is shown or written.
    if (!ReadFields(std::move(fields), entry, platform)) return ExitStatus::Refused;
  }

  std::wstring character = Modul::UngueltigesNamenszeichen(
      entry.AddOnName, [&platform](std::wstring s) { return platform.ToLower(std::move(s)); });
  if (character.empty()) character = FirstCharacterWithoutAnsiForm(entry.AddOnName, registry);
  if (!character.empty()) {
    platform.Show(InvalidCharacterMessage(character));
    mode = RunMode::None;
  }

  if (mode == RunMode::Install) platform.SetStatusText(facts::kStatusInstall);
  if (mode == RunMode::Remove) platform.SetStatusText(facts::kStatusRemove);
  if (mode != RunMode::None && !silent) platform.ShowStatusWindow();

  if (entry.ExeDateiname.find(L'\\') == std::wstring::npos)
    entry.ExeDateiname = Modul::BackslashAnhaengen(platform.OwnDirectory()) + entry.ExeDateiname;

  bool written = true;
  if (mode != RunMode::None) {
    // Another run changing the list at the same time would lose one of the two changes.
    std::unique_ptr<AddOnListLock> lock = platform.LockAddOnList();
    written = mode == RunMode::Install ? AddOnEinrichten(reg, entry)
                                       : AddOnEntfernen(reg, entry.AddOnName);
  }

  if (mode != RunMode::None) {
    platform.ProcessPendingEvents();
    if (!silent) platform.Pause(1000);
  }
  platform.UnloadStatusWindow();

  if (mode == RunMode::None) return ExitStatus::Refused;
  return written ? ExitStatus::Done : ExitStatus::RegistryFailed;
}

}  // namespace quillet
