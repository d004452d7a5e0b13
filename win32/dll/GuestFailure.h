// What goes wrong inside a guest call that no result can carry (a system DLL or function that
// is not there, memory that ran out): thrown inside, caught by the entry, turned into a status.
#pragma once

#include <stdexcept>

namespace quillet::guest {

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quillet::guest
