// The installer's stack of strings, as a plug-in function sees it during one call.
#pragma once

#include <optional>
#include <string>

#include "win32/dll/nsis/NsisApi.h"

namespace quillet::nsis {

class Stack {
 public:
  // `top` may be null (an installer that passes no stack); then nothing can be popped or pushed.
  Stack(StackEntry** top, int stringSize) : top_(top), stringSize_(stringSize) {}

  // The top string, taken off the stack; nullopt when the stack is empty.
  std::optional<std::wstring> Pop();
  // The top string, left on the stack; nullopt when the stack is empty.
  std::optional<std::wstring> Peek() const;
  // Puts `text` on top, cut to the installer's string size. False when no memory was left.
  bool Push(const std::wstring& text);

 private:
  StackEntry** top_;
  int stringSize_;
};

// Variable `index` of the block (string_size characters each), or empty when there is none.
std::wstring Variable(const wchar_t* variables, int stringSize, int index);

}  // namespace quillet::nsis
