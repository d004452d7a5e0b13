// The pause after the registry work.
#pragma once

namespace quillet::ModulSleep {

// Blocks the calling thread for `milliseconds`; no window event is processed meanwhile.
void Sleep(unsigned milliseconds);

}  // namespace quillet::ModulSleep
