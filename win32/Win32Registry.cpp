#include "win32/Win32Registry.h"

#include <utility>

#include "win32/UniqueHandle.h"

namespace quillet::ModulRegistrierung {
namespace {

// The host is a 32-bit program and reads the 32-bit view: the 64-bit build must write there too.
// 32-bit Windows ignores the flag, so both builds name it on every open, create and delete.
constexpr REGSAM kHostView = KEY_WOW64_32KEY;

// KEY_READ and KEY_ALL_ACCESS without their standard-rights part: what a run has always asked.
constexpr REGSAM kReadRights = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr REGSAM kAllRights = kReadRights | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK;

// The key opened with `access`; empty with the error in `*status` when it does not open.
unique_hkey Open(Root root, const std::string& path, RegistryAccess access,
                 LSTATUS* status = nullptr) {
  unique_hkey key;
  const LSTATUS opened = RegOpenKeyExA(RootKey(root), path.c_str(), 0, AccessOf(access), key.put());
  if (status != nullptr) *status = opened;
  if (opened != ERROR_SUCCESS) key.reset();
  return key;
}

// One value of an open key, by name. Exactly the size learned: with room to spare, Windows would
// add a NUL to a text that was stored without one, and the caller must see the bytes as stored.
// A value that grew in between (ERROR_MORE_DATA) fails the read.
ValueRead Query(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  const LSTATUS sized = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  if (sized == ERROR_FILE_NOT_FOUND) return {ReadStatus::Missing, {}};
  if (sized != ERROR_SUCCESS) return {ReadStatus::Failed, {}};
  std::vector<std::uint8_t> bytes(size);
  DWORD returned = size;
  if (RegQueryValueExA(key, name, nullptr, &type, size == 0 ? nullptr : bytes.data(), &returned) !=
      ERROR_SUCCESS) {
    return {ReadStatus::Failed, {}};
  }
  // The ANSI call may report a text's size in its wide form first; what it returns counts.
  bytes.resize(returned < size ? returned : size);
  return {ReadStatus::Found, StoredValue{type, std::move(bytes)}};
}

}  // namespace

HKEY RootKey(Root root) {
  return root == Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM AccessOf(RegistryAccess access) {
  return (access == RegistryAccess::Read ? kReadRights : kAllRights) | kHostView;
}

bool Win32Registry::KeyExists(Root root, const std::string& path) {
  return Open(root, path, RegistryAccess::Read).get() != nullptr;
}

bool Win32Registry::KeyWritable(Root root, const std::string& path) {
  return Open(root, path, RegistryAccess::Write).get() != nullptr;
}

KeyCreation Win32Registry::CreateKey(Root root, const std::string& path,
                                     const std::string& keyClass) {
  unique_hkey key;
  DWORD disposition = 0;
  if (RegCreateKeyExA(RootKey(root), path.c_str(), 0, const_cast<char*>(keyClass.c_str()), 0,
                      AccessOf(RegistryAccess::Write), nullptr, key.put(),
                      &disposition) != ERROR_SUCCESS) {
    return KeyCreation::Failed;
  }
  // The key is on disk before anything is written into it; whether the flush succeeds does not
  // matter, the key exists either way.
  RegFlushKey(key.get());
  return disposition == REG_CREATED_NEW_KEY ? KeyCreation::Created : KeyCreation::Existed;
}

ValueRead Win32Registry::ReadValue(Root root, const std::string& path, const std::string& name) {
  LSTATUS status = ERROR_SUCCESS;
  const unique_hkey key = Open(root, path, RegistryAccess::Read, &status);
  if (key.get() == nullptr) {
    return {status == ERROR_FILE_NOT_FOUND ? ReadStatus::Missing : ReadStatus::Failed, {}};
  }
  return Query(key.get(), name.c_str());
}

bool Win32Registry::WriteValue(Root root, const std::string& path, const std::string& name,
                               const StoredValue& value) {
  const unique_hkey key = Open(root, path, RegistryAccess::Write);
  if (key.get() == nullptr) return false;
  return RegSetValueExA(key.get(), name.c_str(), 0, value.type, value.bytes.data(),
                        static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteKey(Root root, const std::string& path) {
  return RegDeleteKeyExA(RootKey(root), path.c_str(), kHostView, 0) == ERROR_SUCCESS;
}

std::optional<KeyContents> Win32Registry::ReadKey(Root root, const std::string& path) {
  const unique_hkey key = Open(root, path, RegistryAccess::Read);
  if (key.get() == nullptr) return std::nullopt;
  // A class is at most 255 characters.
  char keyClass[256] = {};
  DWORD classLength = sizeof keyClass;
  DWORD valueCount = 0;
  if (RegQueryInfoKeyA(key.get(), keyClass, &classLength, nullptr, nullptr, nullptr, nullptr,
                       &valueCount, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  KeyContents contents{std::string(keyClass, classLength), {}};
  // Names are read by index, each value then by its name, exactly as a single read takes it.
  // The buffer holds the longest name there can be, in any code page.
  std::vector<char> name(2 * 16384 + 1);
  for (DWORD i = 0; i < valueCount; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    if (RegEnumValueA(key.get(), i, name.data(), &nameLength, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::string spelt(name.data(), nameLength);
    ValueRead read = Query(key.get(), spelt.c_str());
    if (read.status != ReadStatus::Found) return std::nullopt;
    contents.values.emplace_back(std::move(spelt), std::move(read.value));
  }
  return contents;
}

}  // namespace quillet::ModulRegistrierung
