// What the registry layer needs of a registry, at the level of its work and by path: whether a
// key exists, create a key with its class, read or write one value as its type and bytes, delete
// a key, and read a whole key back (class and values) for an installer's undo record. Each call
// opens what it needs, does its work and closes it again inside the binding, which also decides
// the rights it asks for, the buffer sizes, terminators, error codes and the 32-bit view:
// Win32Registry on Windows, MemoryRegistry in tests. Roots are named, not numbered, so no
// Windows number reaches portable code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillet::ModulRegistrierung {

// A predefined root key; only win32/ knows its handle.
enum class Root { LocalMachine, CurrentUser };

// Value type codes: part of the stored bytes, a contract with the host.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// A value as the registry keeps it: its type and exactly its bytes.
struct StoredValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

enum class KeyCreation { Created, Existed, Failed };

// Missing: the key or the value is absent. Failed: it is there but could not be read.
enum class ReadStatus { Found, Missing, Failed };

struct ValueRead {
  ReadStatus status = ReadStatus::Missing;
  StoredValue value;  // when Found
};

// A whole key: its class and its values, in the order the registry keeps them.
struct KeyContents {
  std::string keyClass;
  std::vector<std::pair<std::string, StoredValue>> values;
  friend bool operator==(const KeyContents&, const KeyContents&) = default;
};

// Names and paths are ANSI byte strings.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  // True when the key opens for reading.
  virtual bool KeyExists(Root root, const std::string& path) = 0;
  // True when the key opens with the rights a write asks for; nothing is written.
  virtual bool KeyWritable(Root root, const std::string& path) = 0;
  // Creates the key and the missing keys along the path, each with `keyClass`; an existing key
  // is left as it is (Existed) when it opens with the rights a write asks for, else Failed.
  virtual KeyCreation CreateKey(Root root, const std::string& path,
                                const std::string& keyClass) = 0;
  // The value `name` exactly as stored, a text without terminator included.
  virtual ValueRead ReadValue(Root root, const std::string& path, const std::string& name) = 0;
  // Stores exactly `value` under `name` in an existing key; the key is never created here.
  virtual bool WriteValue(Root root, const std::string& path, const std::string& name,
                          const StoredValue& value) = 0;
  // True when the key was deleted with its values; a key with sub-keys is refused.
  virtual bool DeleteKey(Root root, const std::string& path) = 0;
  // The key's class and all its values; nullopt when it is absent or cannot be read.
  virtual std::optional<KeyContents> ReadKey(Root root, const std::string& path) = 0;
};

}  // namespace quillet::ModulRegistrierung
