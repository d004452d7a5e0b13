// The real registry as the end-to-end tests see it: HKEY_LOCAL_MACHINE in the 32-bit view, where
// the 32-bit quillet.exe reads and writes (in a 64-bit prefix or on 64-bit Windows its
// "software\X" is "Software\Wow6432Node\X"). Key paths are given as quillet.exe writes them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Facts.h"

namespace quillet {

namespace e2e {

using facts::kAddOnKeyPrefix;
using facts::kAddOnList;
using facts::kHostKey;
using facts::kVersionKey;
using facts::kVersionValue;

// The host's whole tree, which every test starts without: the key above its version key.
inline const std::wstring kBrannickKey(
    std::wstring_view(kVersionKey).substr(0, std::wstring_view(kVersionKey).rfind(L'\\')));

// The key of the add-on `name` below the host key.
inline std::wstring AddOnKey(std::wstring_view name) {
  return std::wstring(kAddOnKeyPrefix) + std::wstring(name);
}

// A value as a program reading it with the ANSI calls gets it: REG_SZ texts in the ANSI code
// page, with their terminating NUL as stored.
struct RawValue {
  DWORD type = REG_NONE;
  std::vector<unsigned char> bytes;
};

std::optional<RawValue> ReadRawValue(const std::wstring& key, const std::wstring& name);
// A REG_SZ value as text, without its terminating NUL; nullopt when missing or of another type.
std::optional<std::wstring> ReadText(const std::wstring& key, const std::wstring& name);
std::optional<DWORD> ReadDword(const std::wstring& key, const std::wstring& name);

bool KeyExists(const std::wstring& key);
// The key's class text; nullopt when the key is missing.
std::optional<std::wstring> KeyClass(const std::wstring& key);
std::vector<std::wstring> SubKeys(const std::wstring& key);

// Deletes the key with everything below it; true when it is gone afterwards.
bool DeleteTree(const std::wstring& key);

// Create the key (and those along its path) if missing, then set the value.
bool WriteText(const std::wstring& key, const std::wstring& name, const std::wstring& text);
bool WriteDword(const std::wstring& key, const std::wstring& name, DWORD value);
// Exactly these bytes with this type, through RegSetValueExA (texts in the ANSI code page).
bool WriteRaw(const std::wstring& key, const std::wstring& name, DWORD type,
              const std::vector<unsigned char>& bytes);

// Which registry view a snapshot reads: the 32-bit one everything else here uses, or the 64-bit
// one, where a 64-bit installer keeps its own entries (its uninstall entry, say).
enum class View { k32, k64 };

// Everything below the key, one line per key (path and class) and per value (name, type and
// bytes in hex), sorted: two snapshots are equal when nothing was changed in between. A missing
// key gives the empty text.
std::string Snapshot(const std::wstring& key, View view = View::k32);

}  // namespace e2e

}  // namespace quillet
