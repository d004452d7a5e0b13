// The short (8.3) form of a program path, for every frontend on Windows.
#pragma once

#include <string>

namespace quillet {

// GetShortPathNameW of `path`; when the file is not there (yet), that of its folder followed by
// the file's own name. Empty when neither folder nor file exists or the volume keeps no short
// names.
std::wstring ShortPathOf(const std::wstring& path);

}  // namespace quillet
