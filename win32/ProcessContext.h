// What the context this process runs in allows: whether what it starts gets an administrator's
// rights, and whether anyone can see a box it shows.
#pragma once

namespace quillet {

// True when the process token is elevated or is SYSTEM's, and when the token cannot be read: a
// token we know nothing about is not one to start a browser with.
bool ProcessRunsElevated();

// True when the process token is LocalSystem's (S-1-5-18), as in a deferred, not impersonated
// MSI custom action; false when the token cannot be read.
bool ProcessRunsAsSystem();

// False when the process's window station is not the visible, interactive one: a deferred,
// not impersonated MSI custom action runs us as SYSTEM in session 0, where a box waits for a
// click that never comes and the install hangs for good. True when it cannot be told.
bool WindowStationVisible();

}  // namespace quillet
