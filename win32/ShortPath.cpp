#include "win32/ShortPath.h"

#include <windows.h>

namespace quillet {

namespace {

// GetShortPathNameW, its buffer grown until the whole name fits; empty on failure.
std::wstring Shortened(const std::wstring& path) {
  std::wstring shortPath(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length =
        GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0) return {};
    if (length < shortPath.size()) {
      shortPath.resize(length);
      return shortPath;
    }
    shortPath.resize(length);
  }
  return {};
}

}  // namespace

std::wstring ShortPathOf(const std::wstring& path) {
  if (std::wstring whole = Shortened(path); !whole.empty()) return whole;
  // An installer may register the program before it copies it.
  const std::size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos || slash == 0) return {};
  const std::wstring folder = Shortened(path.substr(0, slash));
  if (folder.empty()) return {};
  return folder + path.substr(slash);
}

}  // namespace quillet
