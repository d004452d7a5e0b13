// Turns a fuzzer's bytes into the wide texts the code under test takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::FuzzInput {

// The bytes read as UTF-8 into UTF-16 code units, as a wide string holds them on Windows: a
// character beyond U+FFFF becomes a surrogate pair, an encoded surrogate stays a lone unit, and
// a byte that starts no valid sequence stands for itself (U+0080..U+00FF), so that every byte
// string is some text and short inputs reach the non-ASCII characters quickly.
std::wstring DecodeUtf8(std::string_view bytes);

// The input cut at its first `parts - 1` NUL bytes into `parts` texts, each decoded with
// DecodeUtf8; the last one keeps any further NUL bytes. Missing parts are absent, so a seed
// that is a single line of text stays readable as a file.
std::vector<std::wstring> Split(const std::uint8_t* data, std::size_t size, std::size_t parts);

// `text` as UTF-8 with control characters written as \xNN, for the messages of a failed
// check.
std::string EncodeUtf8(std::wstring_view text);

}  // namespace quillet::FuzzInput
