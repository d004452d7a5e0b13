// MinGW only. libstdc++'s default terminate handler prints the demangled type of an uncaught
// exception, and the demangler it pulls in is about 46 KB of the exe. Quillet has no console
// to print to, so the plain abort is all that handler could do for us anyway.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
