// The registry store on Windows: advapi32's ANSI functions in the host's 32-bit view, one open,
// operation and close per call.
#pragma once

#include <windows.h>

#include "registry/RegistryStore.h"

namespace quillet::ModulRegistrierung {

// The predefined key of `root`.
HKEY RootKey(Root root);

// What each operation asks of a key. Fixed here so that the rights a run asks for, and with them
// which keys it can use, stay exactly as they are.
enum class RegistryAccess { Read, Write };
REGSAM AccessOf(RegistryAccess access);

class Win32Registry : public RegistryStore {
 public:
  bool KeyExists(Root root, const std::string& path) override;
  bool KeyWritable(Root root, const std::string& path) override;
  KeyCreation CreateKey(Root root, const std::string& path, const std::string& keyClass) override;
  ValueRead ReadValue(Root root, const std::string& path, const std::string& name) override;
  bool WriteValue(Root root, const std::string& path, const std::string& name,
                  const StoredValue& value) override;
  bool DeleteKey(Root root, const std::string& path) override;
  std::optional<KeyContents> ReadKey(Root root, const std::string& path) override;
};

}  // namespace quillet::ModulRegistrierung
