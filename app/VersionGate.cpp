#include "app/VersionGate.h"

#include <variant>

#include "app/Facts.h"

namespace quillet {

namespace {

constexpr wchar_t kOutdatedVersions[] = L";400;410;420;";

// A browser started by an elevated run would surf with the administrator's rights. The user's
// own shell opens the page then, or, when that fails, the user does, from the address shown.
void OpenDownloadPage(Platform& platform) {
  if (!platform.RunsElevated()) {
    platform.OpenAddress(facts::kDownloadAddress);
  } else if (!platform.OpenAddressAsUser(facts::kDownloadAddress)) {
    platform.Show(Message{facts::kUsageTitle,
                          std::wstring(facts::kOpenAddressYourself) + facts::kDownloadAddress,
                          MessageIcon::Information, MessageButtons::Ok});
  }
}

}  // namespace

bool IsOutdatedHostVersion(const std::wstring& version) {
  if (version.empty()) return false;
  if (version[0] == L'3') return true;
  return std::wstring(kOutdatedVersions).find(L";" + version + L";") != std::wstring::npos;
}

bool CheckHostVersion(const ModulRegistrierung::RegistryContext& reg, Platform& platform) {
  using namespace ModulRegistrierung;
  // Preset to an empty text: a missing key or value keeps it, and the gate passes.
  RegistryValue recorded = std::wstring();
  ReadRegistryValue(reg, kHkeyLocalMachine, facts::kVersionKey, facts::kVersionValue, recorded,
                    false);
  std::wstring dateText;
  if (const Date* d = std::get_if<Date>(&recorded)) dateText = reg.platform.DateToText(*d);
  if (!IsOutdatedHostVersion(AsText(recorded, dateText))) return true;

  Message question{L"", facts::kDownloadQuestion, MessageIcon::Question, MessageButtons::YesNo};
  if (platform.Show(question) == MessageAnswer::Yes) OpenDownloadPage(platform);
  return false;
}

}  // namespace quillet
