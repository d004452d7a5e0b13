// The registry layer's test suite runs against every binding: the in-memory registry always,
// the real one on Windows. This header is what the bindings' test files share with it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "registry/ModulRegistrierung.h"

namespace quillet::ModulRegistrierung::test {

// One binding under test, with a scratch key of its own that exists, empty, while it lives.
class TestBinding {
 public:
  virtual ~TestBinding() = default;
  virtual RegistryStore& Store() = 0;
  // The locale that spells this binding's names and texts.
  virtual Locale& Conversions() = 0;
  // The root the scratch key is under.
  virtual ModulRegistrierung::Root Root() const = 0;
  // The scratch key's path below Root().
  virtual std::string Scratch() const = 0;
  // The class of the key at `path` below Root(); nullopt when it does not exist.
  virtual std::optional<std::string> KeyClass(const std::string& path) = 0;
  // The names of the values of the key at `path`, as the registry spells them.
  virtual std::vector<std::string> ValueNames(const std::string& path) = 0;
  // Windows keeps the class of an existing key that RegCreateKeyEx opens; Wine replaces it.
  virtual bool KeepsClassOfExistingKey() const = 0;
  // Makes the key at `path` refuse read and/or write rights; false when this binding cannot.
  virtual bool RefuseAccess(const std::string& path, bool read, bool write) = 0;
  // Makes every write into the key at `path` fail; false when this binding cannot.
  virtual bool FailSetValue(const std::string& path) = 0;
};

struct BindingFactory {
  std::string name;
  std::function<std::unique_ptr<TestBinding>()> make;
};

inline void PrintTo(const BindingFactory& factory, std::ostream* out) { *out << factory.name; }

// Passes every call through and counts the value writes asked for.
class CountingStore : public RegistryStore {
 public:
  explicit CountingStore(RegistryStore& inner) : inner_(inner) {}

  bool KeyExists(ModulRegistrierung::Root root, const std::string& path) override {
    return inner_.KeyExists(root, path);
  }
  bool KeyWritable(ModulRegistrierung::Root root, const std::string& path) override {
    return inner_.KeyWritable(root, path);
  }
  KeyCreation CreateKey(ModulRegistrierung::Root root, const std::string& path,
                        const std::string& keyClass) override {
    return inner_.CreateKey(root, path, keyClass);
  }
  ValueRead ReadValue(ModulRegistrierung::Root root, const std::string& path,
                      const std::string& name) override {
    return inner_.ReadValue(root, path, name);
  }
  bool WriteValue(ModulRegistrierung::Root root, const std::string& path, const std::string& name,
                  const StoredValue& value) override {
    ++setValueCalls_;
    return inner_.WriteValue(root, path, name, value);
  }
  bool DeleteKey(ModulRegistrierung::Root root, const std::string& path) override {
    return inner_.DeleteKey(root, path);
  }
  std::optional<KeyContents> ReadKey(ModulRegistrierung::Root root,
                                     const std::string& path) override {
    return inner_.ReadKey(root, path);
  }

  int SetValueCalls() const { return setValueCalls_; }

 private:
  RegistryStore& inner_;
  int setValueCalls_ = 0;
};

std::vector<std::uint8_t> Bytes(std::string_view text);

class RegistrySuite : public ::testing::TestWithParam<BindingFactory> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The scratch key, or a path below it.
  std::wstring Path(const std::wstring& below = {}) const;
  std::string AnsiPath(const std::string& below = {}) const;

  // Raw access through the binding's own calls, as another program would see the registry.
  std::optional<StoredValue> ReadStored(const std::string& below, const std::string& name);
  void Store(const std::string& below, const std::string& name, std::uint32_t type,
             const std::vector<std::uint8_t>& bytes);
  bool KeyThere(const std::string& below);

  std::unique_ptr<TestBinding> binding_;
  std::unique_ptr<CountingStore> store_;
  std::unique_ptr<RegistryContext> registry_;
};

}  // namespace quillet::ModulRegistrierung::test
