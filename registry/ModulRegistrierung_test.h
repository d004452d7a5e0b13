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

#include "registry/Message.h"
#include "registry/ModulRegistrierung.h"

namespace quillet::ModulRegistrierung::test {

// One binding under test, with a scratch key of its own that exists, empty, while it lives.
class TestBinding {
 public:
  virtual ~TestBinding() = default;
  virtual RegistryPlatform& Platform() = 0;
  virtual RegistryRoot Root() const = 0;
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

// Passes every call through and keeps account of the rights asked for and of the writes.
class CountingPlatform : public RegistryPlatform {
 public:
  explicit CountingPlatform(RegistryPlatform& inner) : inner_(inner) {}

  OwnedKey OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access) override;
  CreatedKey CreateKey(RegistryRoot root, const std::string& path, const std::string& keyClass,
                       std::uint32_t access) override;
  bool DeleteKey(RegistryRoot root, const std::string& path) override {
    return inner_.DeleteKey(root, path);
  }
  std::string ToAnsi(std::wstring_view text, bool* exact) override {
    return inner_.ToAnsi(text, exact);
  }
  std::wstring FromAnsi(std::string_view bytes) override { return inner_.FromAnsi(bytes); }
  std::wstring DateToText(Date date) override { return inner_.DateToText(date); }
  std::optional<Date> TextToDate(std::wstring_view text) override {
    return inner_.TextToDate(text);
  }

  int SetValueCalls() const { return setValueCalls_; }
  // The rights asked for by each OpenKey and CreateKey call, in order.
  const std::vector<std::uint32_t>& AccessAsked() const { return accessAsked_; }

 private:
  OwnedKey Counted(OwnedKey key);

  RegistryPlatform& inner_;
  int setValueCalls_ = 0;
  std::vector<std::uint32_t> accessAsked_;
};

class RecordingMessages : public MessageBoxes {
 public:
  MessageAnswer Show(const Message& message) override {
    shown.push_back(message);
    return MessageAnswer::Ok;
  }
  std::vector<Message> shown;
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
  std::unique_ptr<CountingPlatform> platform_;
  RecordingMessages messages_;
  std::unique_ptr<RegistryContext> reg_;
};

}  // namespace quillet::ModulRegistrierung::test
