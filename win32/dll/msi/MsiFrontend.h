// The pass inside a Windows Installer custom action. Everything it shows or tells goes through
// the installer session, so the package's UI level decides (nothing under /qn, the installer's
// own box otherwise); this frontend has no window and no message box of its own. Status texts
// become progress messages, log lines the MSI log's "Quillet: " lines.
#pragma once

#include <string>

#include "win32/dll/GuestFrontend.h"
#include "win32/dll/msi/MsiSession.h"

namespace quillet::msi {

class MsiFrontend : public guest::GuestFrontend {
 public:
  MsiFrontend(Session& session, std::wstring addOnFolder);

  // A user message of the installer with the box's buttons and icon; an answer of 0 (no UI, as
  // under /qn) or -1 counts as the button that does least.
  MessageAnswer Show(const Message& message) override;
  void SetStatusText(const std::wstring& text) override;
  void Log(const std::wstring& line) override;

 private:
  Session& session_;
};

}  // namespace quillet::msi
