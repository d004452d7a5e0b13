#include "win32/MessageBoxes.h"

#include "win32/LateBound.h"
#include "win32/MessageStyle.h"
#include "win32/ProcessContext.h"

namespace quillet {

MessageAnswer LeastAnswer(const Message& message) {
  return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

// A box that no one can see counts as answered with its safest button. Every path then ends as
// it ends after that click.
MessageAnswer ShowMessageBox(HWND owner, const Message& message) {
  if (!WindowStationVisible()) return LeastAnswer(message);
  const UINT buttons = ButtonFlags(message.buttons);
  const int answer = USER32(MessageBoxW)(owner, message.text.c_str(), message.title.c_str(),
                                         buttons | IconFlags(message.icon));
  switch (answer) {
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    default:
      // A question that could not be asked counts as declined.
      return LeastAnswer(message);
  }
}

}  // namespace quillet
