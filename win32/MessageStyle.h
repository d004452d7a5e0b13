// The MB_ flags of a message's icon and buttons: a box shows them, and so does the installer
// when a message goes to it (MsiProcessMessage takes the same flags).
#pragma once

#include <windows.h>

#include "app/Message.h"

namespace quillet {

inline UINT IconFlags(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::Information:
      break;
  }
  return MB_ICONINFORMATION;
}

inline UINT ButtonFlags(MessageButtons buttons) {
  return buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
}

}  // namespace quillet
