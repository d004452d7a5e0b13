#include "win32/ModulSleep.h"

#include <windows.h>

namespace ModulSleep {

void Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace ModulSleep
