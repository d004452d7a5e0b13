// Paths that CMake builds into a Windows test program as the build folder spells them.
#pragma once

#include <string>

namespace quillet {

// A Unix absolute path as Wine maps it (drive Z: is the root); any other path, such as one an
// MSVC build passes, unchanged.
inline std::wstring WindowsPathOf(const std::string& path) {
  std::wstring wide(path.begin(), path.end());
  if (wide.empty() || wide.front() != L'/') return wide;
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + wide;
}

}  // namespace quillet
