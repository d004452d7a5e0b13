// The owner of one open registry key: the only place a key is closed, so that no path of an
// operation can leave a key open or close it twice.
#pragma once

#include <utility>

#include "registry/RegistryPlatform.h"

namespace ModulRegistrierung {

class RegistryKeyHandle {
 public:
  RegistryKeyHandle() = default;
  // Takes ownership of `key`, an open key of `platform`.
  RegistryKeyHandle(RegistryPlatform& platform, RegKey key) : platform_(&platform), key_(key) {}
  RegistryKeyHandle(const RegistryKeyHandle&) = delete;
  RegistryKeyHandle& operator=(const RegistryKeyHandle&) = delete;
  RegistryKeyHandle(RegistryKeyHandle&& other) noexcept
      : platform_(std::exchange(other.platform_, nullptr)), key_(std::exchange(other.key_, 0)) {}
  RegistryKeyHandle& operator=(RegistryKeyHandle&& other) noexcept {
    if (this != &other) {
      Close();
      platform_ = std::exchange(other.platform_, nullptr);
      key_ = std::exchange(other.key_, 0);
    }
    return *this;
  }
  ~RegistryKeyHandle() { Close(); }

  RegKey Get() const { return key_; }
  explicit operator bool() const { return platform_ != nullptr; }

  // Closes the key now; a second call does nothing.
  void Close() {
    if (platform_ != nullptr) std::exchange(platform_, nullptr)->CloseKey(std::exchange(key_, 0));
  }

 private:
  RegistryPlatform* platform_ = nullptr;
  RegKey key_ = 0;
};

// RegOpenKeyExA with options 0; an empty handle when the key cannot be opened with `access`.
inline RegistryKeyHandle OpenRegistryKey(RegistryPlatform& platform, RegKey root,
                                         const std::string& subKey, std::uint32_t access) {
  RegKey key = 0;
  if (platform.OpenKeyEx(root, subKey, 0, access, &key) != kErrorSuccess) return {};
  return RegistryKeyHandle(platform, key);
}

}  // namespace ModulRegistrierung
