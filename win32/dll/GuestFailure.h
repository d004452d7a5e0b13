// What goes wrong inside a guest call that no result can carry (a system DLL or function that
// is not there, memory that ran out): thrown inside, caught by the entry, turned into a status.
#pragma once

#include <exception>

namespace quillet::guest {

// Carries a fixed message only: std::runtime_error's copied string would bring the C++
// runtime's whole message machinery into the DLL for two literals.
class Failure : public std::exception {
 public:
  explicit Failure(const char* message) noexcept : message_(message) {}
  const char* what() const noexcept override { return message_; }

 private:
  const char* message_;
};

}  // namespace quillet::guest
