#include "win32/dll/centry/CEntryFrontend.h"

#include "win32/MessageBoxes.h"

namespace quillet::centry {

CEntryFrontend::CEntryFrontend(HWND owner, bool silent, std::wstring addOnFolder)
    : GuestFrontend(std::move(addOnFolder)), owner_(owner), silent_(silent) {}

MessageAnswer CEntryFrontend::Show(const Message& message) {
  if (silent_) return guest::LeastAnswer(message);
  return ShowMessageBox(owner_, message);
}

}  // namespace quillet::centry
