// Opening a web address in the user's browser.
#pragma once

#include <cstdint>
#include <string>

namespace quillet::ModulInternetadresseStarten {

// Hands `address` to the shell to open ("Open", no parameters, shown normally, the desktop
// window as owner), with the first three characters of `ownDirectory` (the drive root of
// the program's own directory) as the working directory. Returns the shell call's result
// unchanged: a value above 32 means the shell took the address; nothing waits for the browser.
std::intptr_t InternetadresseStarten(const std::wstring& address, const std::wstring& ownDirectory);

}  // namespace quillet::ModulInternetadresseStarten
