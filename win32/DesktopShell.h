// Opening an address through the desktop's shell (explorer.exe) instead of in this process, so
// that whatever the shell starts gets the shell's token, the user's own, and not the
// administrator's token an elevated installer gave us.
#pragma once

#include <string>

namespace quillet {

// Asks the desktop shell to open `file` ("Open", no parameters, shown normally) with the working
// directory `directory`. True when every step of the way succeeded; false when one failed, and
// nothing has been started then.
bool ShellExecuteAsDesktopUser(const std::wstring& file, const std::wstring& directory);

}  // namespace quillet
