#include "win32/dll/msi/MsiFrontend.h"

#include <windows.h>
// After windows.h, which it needs.
#include <msi.h>

#include "win32/MessageBoxes.h"
#include "win32/MessageStyle.h"

namespace quillet::msi {

MsiFrontend::MsiFrontend(Session& session, std::wstring addOnFolder)
    : GuestFrontend(std::move(addOnFolder)), session_(session) {}

MessageAnswer MsiFrontend::Show(const Message& message) {
  const bool question = message.buttons == MessageButtons::YesNo;
  const unsigned kind =
      INSTALLMESSAGE_USER | ButtonFlags(message.buttons) | IconFlags(message.icon);
  const int answer = session_.Send(kind, {Escaped(message.text).c_str()});
  if (question && answer == IDYES) return MessageAnswer::Yes;
  return LeastAnswer(message);
}

void MsiFrontend::SetStatusText(const std::wstring& text) {
  // The progress line of the installer's UI: the action's description, then its data.
  session_.Send(INSTALLMESSAGE_ACTIONSTART, {L"", L"Quillet", text.c_str(), L"[1]"});
  session_.Send(INSTALLMESSAGE_ACTIONDATA, {L"", text.c_str()});
  Log(text);
}

void MsiFrontend::Log(const std::wstring& line) {
  session_.Send(INSTALLMESSAGE_INFO, {Escaped(L"Quillet: " + line).c_str()});
}

}  // namespace quillet::msi
