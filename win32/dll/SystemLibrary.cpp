#include "win32/dll/SystemLibrary.h"

#include "win32/LateBound.h"

namespace quillet::guest {

unique_hmodule LoadSystemLibrary(const wchar_t* dll) {
  if (HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return unique_hmodule(module);
  }
  // Systems without the search flags refuse them: the full path keeps other folders out there
  // too, and the altered search path takes the DLL's own imports from the system directory.
  const std::wstring path = late_bound::SystemPath(dll);
  if (path.empty()) return {};
  return unique_hmodule(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

SystemLibraries::SystemLibraries(std::initializer_list<const wchar_t*> dlls) {
  for (const wchar_t* dll : dlls) {
    unique_hmodule module = LoadSystemLibrary(dll);
    if (!module) complete_ = false;
    modules_.push_back(std::move(module));
  }
}

SystemLibraries::~SystemLibraries() {
  while (!modules_.empty()) modules_.pop_back();
}

}  // namespace quillet::guest
