// MinGW only. libstdc++'s own std::__throw_* (what std::wstring and std::vector call when a size
// is out of range) build std::length_error and its siblings, whose message is the old reference-
// counted string: that chain is about a third of the exe and the DLL. Nothing in Quillet catches
// these by type; the exe lets them end the process and the DLL's entries catch everything, so a
// small exception that carries the same message keeps every outcome. (std::function's own
// thrower lives beside its class in a small object of its own and stays.)
#include <bits/functexcept.h>

#include <exception>
#include <new>
#include <variant>

namespace {

class LibraryError final : public std::exception {
 public:
  explicit LibraryError(const char* message) noexcept : message_(message) {}
  const char* what() const noexcept override { return message_; }

 private:
  const char* message_;
};

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* message) { throw LibraryError(message); }
void __throw_domain_error(const char* message) { throw LibraryError(message); }
void __throw_invalid_argument(const char* message) { throw LibraryError(message); }
void __throw_length_error(const char* message) { throw LibraryError(message); }
void __throw_out_of_range(const char* message) { throw LibraryError(message); }
// The format's arguments would only fill in the message; its fixed part says enough.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_runtime_error(const char* message) { throw LibraryError(message); }
void __throw_range_error(const char* message) { throw LibraryError(message); }
void __throw_overflow_error(const char* message) { throw LibraryError(message); }
void __throw_underflow_error(const char* message) { throw LibraryError(message); }
void __throw_system_error(int) { throw LibraryError("system error"); }

}  // namespace std
