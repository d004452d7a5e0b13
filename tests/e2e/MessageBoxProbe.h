// Reads and answers a message box of another process without sending it anything it could block
// on, except the button press itself.
#pragma once

#include <windows.h>

#include "tests/e2e/Driver.h"

namespace quillet {

namespace e2e {

// Caption, text and the buttons shown; icon, pressed and timing are left to the caller.
MessageBoxSeen ReadMessageBox(HWND dialog);

// The icon the box shows. Unknown also when its pixels are not on the screen yet, so a caller
// asks again on a later poll before it settles for Unknown.
Icon ReadMessageBoxIcon(HWND dialog);

// Whether `button` is shown in the box.
bool HasButton(const MessageBoxSeen& box, Button button);

// The button to press when the script has no answer: the one that does least.
std::optional<Button> SafestButton(const MessageBoxSeen& box);

// Clicks `button`; false when the box did not take the click within a few seconds.
bool Press(HWND dialog, Button button);

}  // namespace e2e

}  // namespace quillet
