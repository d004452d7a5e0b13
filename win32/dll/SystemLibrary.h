// System DLLs as a guest loads them: from the system directory only, for one call, and given
// back before the call returns. The installer that loaded us searches its own folder first for
// anything loaded by bare name, and that folder may be Downloads; and whatever we load stays
// in a process that is not ours unless we free it again.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "win32/UniqueHandle.h"

namespace quillet::guest {

// `dll` from the system directory, or an empty owner when it cannot be loaded from there.
unique_hmodule LoadSystemLibrary(const wchar_t* dll);

// The function `name` of `module` typed as `F`; null when the module lacks it (an older
// system), which the caller must expect: a guest never ends the process for it.
template <typename F>
F Function(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Holds system DLLs loaded for the length of one step (the download page needs the shell and
// OLE); the late-bound calls inside that step find them already loaded. Freed in reverse order.
class SystemLibraries {
 public:
  explicit SystemLibraries(std::initializer_list<const wchar_t*> dlls);
  SystemLibraries(const SystemLibraries&) = delete;
  SystemLibraries& operator=(const SystemLibraries&) = delete;
  ~SystemLibraries();
  // True when every one of them was loaded.
  bool Complete() const { return complete_; }

 private:
  std::vector<unique_hmodule> modules_;
  bool complete_ = true;
};

}  // namespace quillet::guest
