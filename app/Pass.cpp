#include "app/Pass.h"

#include <optional>
#include <string>

#include "app/AddOn.h"
#include "app/AddOnEintrag.h"
#include "app/Facts.h"
#include "app/Modul.h"
#include "app/Versionspruefung.h"
#include "text/Characters.h"
#include "text/ModulTextZeile2CollectionArray.h"

namespace {

using ModulTextZeile2CollectionArray::FeldListe;
using ModulTextZeile2CollectionArray::TextZeileZerlegen;
using ModulTextZeile2CollectionArray::Trimmen;

// Longer field values are cut in the overflow message, so that the box stays readable.
constexpr std::size_t kMaxGezeigterWert = 64;

Message Nutzungshinweis() {
  return Message{facts::kUsageTitle, facts::kUsageText, MessageIcon::Information,
                 MessageButtons::Ok};
}

Message UngueltigesZeichenMeldung(const std::wstring& zeichen) {
  return Message{facts::kErrorTitle,
                 L"Das Zeichen (" + zeichen + L") ist im AddOn-Namen nicht erlaubt.",
                 MessageIcon::Error, MessageButtons::Ok};
}

Message UeberlaufMeldung(int feld, const wchar_t* name, const std::wstring& wert) {
  std::wstring gezeigt =
      wert.size() > kMaxGezeigterWert ? wert.substr(0, kMaxGezeigterWert) + L"..." : wert;
  return Message{facts::kErrorTitle,
                 L"Überlauf: Der Wert (" + gezeigt + L") in Feld " + std::to_wstring(feld) + L" (" +
                     name + L") liegt außerhalb des Zahlenbereichs von -2147483648 bis 2147483647.",
                 MessageIcon::Error, MessageButtons::Ok};
}

// The first character of `name` (a surrogate pair counting as one) that the registry's ANSI
// code page cannot hold exactly; empty when there is none. Such a name would be stored with a
// different character than it was given with.
std::wstring NichtDarstellbaresZeichen(const std::wstring& name,
                                       ModulRegistrierung::RegistryPlatform& registry) {
  for (std::size_t i = 0; i < name.size();) {
    std::wstring zeichen = name.substr(i, text::CharacterLength(name, i));
    bool exakt = true;
    registry.ToAnsi(zeichen, &exakt);
    if (!exakt) return zeichen;
    i += zeichen.size();
  }
  return {};
}

// Fills the record from four to nine fields. False when a number field overflows; the
// overflow message has then been shown.
bool FelderLesen(FeldListe felder, AddOnEintrag& eintrag, Platform& platform) {
  if (felder.size() < 9) felder.resize(9);
  eintrag.AddOnName = Trimmen(felder[0]);
  eintrag.KurzBeschreibung = Trimmen(felder[1]);
  eintrag.ExeDateiname = Trimmen(felder[2]);

  std::optional<std::int32_t> modus = Modul::ZahlLesen(felder[3]);
  if (!modus) {
    platform.Show(UeberlaufMeldung(4, L"EinbindungsModus", felder[3]));
    return false;
  }
  eintrag.EinbindungsModus = *modus;
  eintrag.ParameterFest = felder[4];
  std::optional<std::int32_t> zusatz = Modul::ZahlLesen(felder[5]);
  if (!zusatz) {
    platform.Show(UeberlaufMeldung(6, L"ParameterZusatz", felder[5]));
    return false;
  }
  eintrag.ParameterZusatz = *zusatz;
  eintrag.LangBeschreibung = felder[6];
  eintrag.SpezialButtonGrafikName = felder[7];
  eintrag.SpezialButtonToolTiptext = felder[8];

  if (eintrag.SpezialButtonGrafikName.empty()) eintrag.SpezialButtonGrafikName = L"AddOn";
  if (eintrag.SpezialButtonToolTiptext.empty())
    eintrag.SpezialButtonToolTiptext = eintrag.KurzBeschreibung;
  return true;
}

}  // namespace

ExitStatus RunPass(Platform& platform, ModulRegistrierung::RegistryPlatform& registry) {
  const ModulRegistrierung::RegistryContext reg{registry, platform};

  std::wstring argumente = platform.ArgumentText();
  bool still = false;
  RunMode modus = RunMode::None;
  AddOnEintrag eintrag;

  // The gate comes first: its question is asked in silent runs and for empty command lines too.
  if (!VersionPruefen(reg, platform)) return ExitStatus::HostOutdated;

  if (platform.ToLower(argumente.substr(0, 2)) == L"-s") {
    still = true;
    argumente = Trimmen(std::wstring_view(argumente).substr(2));
  }

  FeldListe felder = TextZeileZerlegen(argumente, L",", L"");
  if (felder.empty()) {
    platform.Show(Nutzungshinweis());
  } else if (felder.size() <= 2) {
    modus = RunMode::Remove;
    eintrag.AddOnName = Trimmen(felder[0]);
  } else if (felder.size() == 3) {
    modus = RunMode::Install;
    eintrag.AddOnName = Trimmen(felder[0]);
    eintrag.KurzBeschreibung = Trimmen(felder[1]);
    eintrag.ExeDateiname = Trimmen(felder[2]);
    eintrag.EinbindungsModus = 1;
    eintrag.ParameterZusatz = 2;
    eintrag.SpezialButtonGrafikName = L"AddOn";
    eintrag.SpezialButtonToolTiptext = eintrag.KurzBeschreibung;
  } else {
    modus = RunMode::Install;
    // An overflowing number stops the run before anything is shown or written.
    if (!FelderLesen(std::move(felder), eintrag, platform)) return ExitStatus::Refused;
  }

  std::wstring zeichen = Modul::UngueltigesNamenszeichen(
      eintrag.AddOnName, [&platform](std::wstring s) { return platform.ToLower(std::move(s)); });
  if (zeichen.empty()) zeichen = NichtDarstellbaresZeichen(eintrag.AddOnName, registry);
  if (!zeichen.empty()) {
    platform.Show(UngueltigesZeichenMeldung(zeichen));
    modus = RunMode::None;
  }

  if (modus == RunMode::Install) platform.SetStatusText(facts::kStatusInstall);
  if (modus == RunMode::Remove) platform.SetStatusText(facts::kStatusRemove);
  if (modus != RunMode::None && !still) platform.ShowStatusWindow();

  if (eintrag.ExeDateiname.find(L'\\') == std::wstring::npos)
    eintrag.ExeDateiname =
        Modul::BackslashAnhaengen(platform.OwnDirectory()) + eintrag.ExeDateiname;

  bool geschrieben = true;
  if (modus != RunMode::None) {
    // Another run changing the list at the same time would lose one of the two changes.
    std::unique_ptr<AddOnListLock> sperre = platform.LockAddOnList();
    geschrieben = modus == RunMode::Install ? AddOnEinrichten(reg, eintrag)
                                            : AddOnEntfernen(reg, eintrag.AddOnName);
  }

  if (modus != RunMode::None) {
    platform.ProcessPendingEvents();
    if (!still) platform.Pause(1000);
  }
  platform.UnloadStatusWindow();

  if (modus == RunMode::None) return ExitStatus::Refused;
  return geschrieben ? ExitStatus::Done : ExitStatus::RegistryFailed;
}
