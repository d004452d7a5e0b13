// Lower-casing as Windows programs do it, for every frontend on Windows.
#pragma once

#include <string>

namespace quillet {

// `text` lower-cased as CharLowerBuffW does it (the user's locale, no linguistic casing), but
// from kernel32: a silent run then never loads user32.
std::wstring LowerCase(std::wstring text);

}  // namespace quillet
