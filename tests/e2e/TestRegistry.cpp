#include "tests/e2e/TestRegistry.h"

#include <algorithm>
#include <cstdio>

#include "tests/e2e/Driver.h"
#include "win32/UniqueHandle.h"

namespace quillet {

namespace e2e {
namespace {

constexpr REGSAM kView = KEY_WOW64_32KEY;

REGSAM ViewFlag(View view) { return view == View::k64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY; }

unique_hkey Open(const std::wstring& key, REGSAM access, REGSAM view = kView) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, access | view, &handle) != ERROR_SUCCESS) {
    return {};
  }
  return unique_hkey(handle);
}

unique_hkey Create(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | kView,
                      nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return {};
  }
  return unique_hkey(handle);
}

std::string Ansi(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::wstring FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(size, L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

std::optional<RawValue> QueryRaw(HKEY key, const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  RawValue value;
  value.type = type;
  value.bytes.resize(size);
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type,
                       value.bytes.empty() ? nullptr : value.bytes.data(),
                       &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.bytes.resize(size);
  return value;
}

std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD length = sizeof name;
    if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

std::optional<std::wstring> ClassOf(const std::wstring& key, REGSAM view) {
  const unique_hkey handle = Open(key, KEY_QUERY_VALUE, view);
  if (!handle) return std::nullopt;
  wchar_t name[1024] = {};
  DWORD length = 1024;
  if (RegQueryInfoKeyW(handle.get(), name, &length, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(name, length);
}

std::vector<std::wstring> SubKeysOf(const std::wstring& key, REGSAM view) {
  std::vector<std::wstring> names;
  const unique_hkey handle = Open(key, KEY_ENUMERATE_SUB_KEYS, view);
  if (!handle) return names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(handle.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void SnapshotInto(const std::wstring& key, REGSAM view, std::vector<std::string>& lines) {
  const unique_hkey handle = Open(key, KEY_READ, view);
  if (!handle) return;
  lines.push_back("[" + Utf8(key) + "] class \"" + Utf8(ClassOf(key, view).value_or(L"")) + "\"");
  for (const std::string& name : ValueNames(handle.get())) {
    const std::optional<RawValue> value = QueryRaw(handle.get(), name);
    std::string line = "[" + Utf8(key) + "] \"" + Utf8(FromAnsi(name)) + "\" = ";
    if (!value) {
      line += "(unreadable)";
    } else {
      line += "type " + std::to_string(value->type) + ":";
      for (const unsigned char byte : value->bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        line += hex;
      }
    }
    lines.push_back(line);
  }
  for (const std::wstring& sub : SubKeysOf(key, view)) {
    SnapshotInto(key + L"\\" + sub, view, lines);
  }
}

}  // namespace

std::optional<RawValue> ReadRawValue(const std::wstring& key, const std::wstring& name) {
  const unique_hkey handle = Open(key, KEY_QUERY_VALUE);
  if (!handle) return std::nullopt;
  return QueryRaw(handle.get(), Ansi(name));
}

std::optional<std::wstring> ReadText(const std::wstring& key, const std::wstring& name) {
  const std::optional<RawValue> value = ReadRawValue(key, name);
  if (!value || value->type != REG_SZ) return std::nullopt;
  std::string bytes(value->bytes.begin(), value->bytes.end());
  if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return FromAnsi(bytes);
}

std::optional<DWORD> ReadDword(const std::wstring& key, const std::wstring& name) {
  const std::optional<RawValue> value = ReadRawValue(key, name);
  if (!value || value->type != REG_DWORD || value->bytes.size() != 4) return std::nullopt;
  DWORD number = 0;
  std::copy(value->bytes.begin(), value->bytes.end(), reinterpret_cast<unsigned char*>(&number));
  return number;
}

bool KeyExists(const std::wstring& key) { return static_cast<bool>(Open(key, KEY_READ)); }

std::optional<std::wstring> KeyClass(const std::wstring& key) { return ClassOf(key, kView); }

std::vector<std::wstring> SubKeys(const std::wstring& key) { return SubKeysOf(key, kView); }

bool DeleteTree(const std::wstring& key) {
  for (const std::wstring& sub : SubKeys(key)) DeleteTree(key + L"\\" + sub);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), kView, 0);
  return !KeyExists(key);
}

bool WriteText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
  const unique_hkey handle = Create(key);
  return handle &&
         RegSetValueExW(handle.get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool WriteDword(const std::wstring& key, const std::wstring& name, DWORD value) {
  const unique_hkey handle = Create(key);
  return handle &&
         RegSetValueExW(handle.get(), name.c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

bool WriteRaw(const std::wstring& key, const std::wstring& name, DWORD type,
              const std::vector<unsigned char>& bytes) {
  const unique_hkey handle = Create(key);
  return handle && RegSetValueExA(handle.get(), Ansi(name).c_str(), 0, type,
                                  bytes.empty() ? nullptr : bytes.data(),
                                  static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

std::string Snapshot(const std::wstring& key, View view) {
  std::vector<std::string> lines;
  SnapshotInto(key, ViewFlag(view), lines);
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace e2e

}  // namespace quillet
