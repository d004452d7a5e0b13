// Registry values as the bytes another program stores: for seeding a registry, and for the
// expected side of a comparison, written without the layer under test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::stored {

using Bytes = std::vector<std::uint8_t>;

// A REG_SZ as an ANSI reader gets it: the Windows-1252 bytes of `text`, then one NUL.
Bytes Sz(std::string_view windows1252);
// The same for a wide text whose characters all lie in Latin-1 (U+0000..U+00FF), where
// Windows-1252 and UTF-16 agree; any other character is a mistake of the test and throws.
Bytes Sz(std::wstring_view latin1);
// A REG_DWORD: four bytes, the least significant first.
Bytes Dword(std::uint32_t value);
// A value readable in a failure message: "type 1 [Alpha\x00]", printable ASCII as it is.
std::string Shown(std::uint32_t type, const Bytes& bytes);

}  // namespace quillet::stored
