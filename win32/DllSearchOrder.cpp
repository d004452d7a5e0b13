#include "win32/DllSearchOrder.h"

#include "win32/LateBound.h"

namespace quillet {

std::vector<unique_hmodule> RestrictDllSearch(SetDefaultDllDirectoriesFunction setDefault) {
  std::vector<unique_hmodule> preloaded;
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return preloaded;

  ::SetDllDirectoryW(L"");
  // Windows finds a DLL that is already loaded by its name before it searches any folder. The
  // program's own folder still comes first for everything else, which is why this list has to
  // hold whatever those paths load.
  for (const wchar_t* dll : kPreloadedDlls) {
    const std::wstring path = late_bound::SystemPath(dll);
    if (path.empty()) break;
    if (HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
      preloaded.emplace_back(module);
    }
  }
  return preloaded;
}

SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");  // loaded with us, not owned
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
}

}  // namespace quillet
