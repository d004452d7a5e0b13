#include "app/Versionspruefung.h"

#include <variant>

#include "app/Facts.h"

namespace {

constexpr wchar_t kVeralteteVersionen[] = L";400;410;420;";

// A browser started by an elevated run would surf with the administrator's rights. The user's
// own shell opens the page then, or, when that fails, the user does, from the address shown.
void DownloadseiteOeffnen(Platform& platform) {
  if (!platform.RunsElevated()) {
    platform.OpenAddress(facts::kDownloadAddress);
  } else if (!platform.OpenAddressAsUser(facts::kDownloadAddress)) {
    platform.Show(Message{facts::kUsageTitle,
                          std::wstring(facts::kOpenAddressYourself) + facts::kDownloadAddress,
                          MessageIcon::Information, MessageButtons::Ok});
  }
}

}  // namespace

bool HostVeraltet(const std::wstring& version) {
  if (version.empty()) return false;
  if (version[0] == L'3') return true;
  return std::wstring(kVeralteteVersionen).find(L";" + version + L";") != std::wstring::npos;
}

bool VersionPruefen(const ModulRegistrierung::RegistryContext& reg, Platform& platform) {
  using namespace ModulRegistrierung;
  // Preset to an empty text: a missing key or value keeps it, and the gate passes.
  RegistryValue gelesen = std::wstring();
  ReadRegistryValue(reg, kHkeyLocalMachine, facts::kVersionKey, facts::kVersionValue, gelesen,
                    false);
  std::wstring datum;
  if (const Date* d = std::get_if<Date>(&gelesen)) datum = reg.platform.DateToText(*d);
  if (!HostVeraltet(AsText(gelesen, datum))) return true;

  Message frage{L"", facts::kDownloadQuestion, MessageIcon::Question, MessageButtons::YesNo};
  if (platform.Show(frage) == MessageAnswer::Yes) DownloadseiteOeffnen(platform);
  return false;
}
