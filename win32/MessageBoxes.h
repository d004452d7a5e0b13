// A message box as every frontend on Windows shows it.
#pragma once

#include <windows.h>

#include "app/Message.h"

namespace quillet {

// Shows `message` modally over `owner` (may be null) and returns the button pressed. Where no
// one can see a box (a window station that is not the visible one), none is shown and the
// answer is the safest button, the one that starts nothing: OK, or No.
MessageAnswer ShowMessageBox(HWND owner, const Message& message);

// The answer of a box that nobody is shown: the button that starts nothing (OK, or No).
MessageAnswer LeastAnswer(const Message& message);

}  // namespace quillet
