#include "win32/ModulSleep.h"

#include <windows.h>

namespace quillet::ModulSleep {

void Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace quillet::ModulSleep
