#include "win32/DllSearchOrder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "win32/LateBound.h"

namespace quillet {

namespace {

DWORD flagsPassed = 0;
BOOL WINAPI Succeeds(DWORD flags) {
  flagsPassed = flags;
  return TRUE;
}
BOOL WINAPI Fails(DWORD) { return FALSE; }

std::wstring Lower(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Where SetDefaultDllDirectories is missing or refuses, every listed DLL the system has is loaded
// from the system directory, so that a later load by name finds it there and not beside us.
TEST(RestrictDllSearch, WithoutSetDefaultDllDirectoriesPreloadsFromTheSystemDirectory) {
  for (const SetDefaultDllDirectoriesFunction setDefault :
       {static_cast<SetDefaultDllDirectoriesFunction>(nullptr), &Fails}) {
    const std::vector<unique_hmodule> preloaded = RestrictDllSearch(setDefault);
    std::set<std::wstring> loaded;
    for (const unique_hmodule& module : preloaded) {
      wchar_t path[MAX_PATH + 1] = {};
      GetModuleFileNameW(module.get(), path, MAX_PATH + 1);
      loaded.insert(Lower(path));
    }
    std::size_t present = 0;
    for (const wchar_t* dll : kPreloadedDlls) {
      const std::wstring path = late_bound::SystemPath(dll);
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
      ++present;
      EXPECT_EQ(loaded.count(Lower(path)), 1u)
          << "not loaded from the system directory: " << path.c_str();
    }
    EXPECT_GT(present, 0u);
    EXPECT_EQ(loaded.size(), present);
  }
}

TEST(RestrictDllSearch, WithSetDefaultDllDirectoriesPreloadsNothing) {
  EXPECT_TRUE(RestrictDllSearch(&Succeeds).empty());
  EXPECT_EQ(flagsPassed, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
  // The program looks the function up: a system without it still starts.
  EXPECT_NE(FindSetDefaultDllDirectories(), nullptr);
}

}  // namespace

}  // namespace quillet
