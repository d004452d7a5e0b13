#include "app/VersionGate.h"

#include "app/Facts.h"
#include "app/RegistryText.h"

namespace quillet {

namespace {

constexpr wchar_t kOutdatedVersions[] = L";400;410;420;";

// A browser started by an elevated run would surf with the administrator's rights. The user's
// own shell opens the page then, or, when that fails, the user does, from the address shown.
// SYSTEM does not ask the shell at all: in a user's session (an MSI repair that user started)
// whatever answers for the shell's window list may be a program of that user's, and it would be
// handed the address by SYSTEM.
void OpenDownloadPage(Frontend& frontend) {
  if (!frontend.RunsElevated()) {
    frontend.OpenAddress(facts::kDownloadAddress);
  } else if (frontend.RunsAsSystem() || !frontend.OpenAddressAsUser(facts::kDownloadAddress)) {
    frontend.Show(Message{facts::kUsageTitle,
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

bool CheckHostVersion(const ModulRegistrierung::RegistryContext& registry, Frontend& frontend) {
  // A missing key or value reads as the empty text, and the gate passes.
  const std::wstring version =
      ReadRegistryText(registry, frontend, ModulRegistrierung::Root::LocalMachine,
                       facts::kVersionKey, facts::kVersionValue);
  frontend.Log(L"host version '" + version + L"'");
  if (!IsOutdatedHostVersion(version)) {
    frontend.Log(L"gate passed");
    return true;
  }

  Message question{L"", facts::kDownloadQuestion, MessageIcon::Question, MessageButtons::YesNo};
  const MessageAnswer answer = frontend.Show(question);
  frontend.Log(answer == MessageAnswer::Yes ? L"host outdated, download page asked for"
                                            : L"host outdated, download declined");
  if (answer == MessageAnswer::Yes) OpenDownloadPage(frontend);
  return false;
}

}  // namespace quillet
