// The frame of every exported function: whatever happens inside, the caller gets a result and
// its process is left as it was found. No exception and no C++ runtime error crosses into the
// installer; the current directory, the error mode and the thread's locale are put back should
// anything inside have changed them.
#pragma once

#include <windows.h>

#include <string>

namespace quillet::guest {

class ProcessStateKeeper {
 public:
  ProcessStateKeeper();
  ProcessStateKeeper(const ProcessStateKeeper&) = delete;
  ProcessStateKeeper& operator=(const ProcessStateKeeper&) = delete;
  ~ProcessStateKeeper();

 private:
  std::wstring directory_;
  bool directoryKnown_ = false;
  UINT errorMode_;
  LCID locale_;
};

// `body()`'s result, or `onFailure` when it threw (memory, a missing system function).
template <typename Result, typename Body>
Result GuardedEntry(Result onFailure, Body body) noexcept {
  try {
    const ProcessStateKeeper keeper;
    try {
      return body();
    } catch (...) {
      return onFailure;
    }
  } catch (...) {
    return onFailure;
  }
}

}  // namespace quillet::guest
