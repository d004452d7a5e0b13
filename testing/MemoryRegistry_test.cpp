#include "testing/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/ModulRegistrierung_test.h"

namespace quillet::ModulRegistrierung {
namespace {

using test::BindingFactory;
using test::RegistrySuite;
using test::TestBinding;

constexpr char kScratch[] = "Software\\QuilletRegistryTest";

class MemoryBinding : public TestBinding {
 public:
  MemoryBinding() { registry_.SeedKey(kHkeyCurrentUser, kScratch); }
  ~MemoryBinding() override { EXPECT_EQ(registry_.OpenKeyCount(), 0); }
  RegistryPlatform& Platform() override { return registry_; }
  RegistryRoot Root() const override { return kHkeyCurrentUser; }
  std::string Scratch() const override { return kScratch; }
  std::optional<std::string> KeyClass(const std::string& path) override {
    const MemoryRegistry::Node* key = registry_.Find(kHkeyCurrentUser, path);
    return key ? std::optional(key->keyClass) : std::nullopt;
  }
  std::vector<std::string> ValueNames(const std::string& path) override {
    const MemoryRegistry::Node* key = registry_.Find(kHkeyCurrentUser, path);
    return key ? key->ValueNames() : std::vector<std::string>();
  }
  bool KeepsClassOfExistingKey() const override { return true; }
  bool RefuseAccess(const std::string& path, bool read, bool write) override {
    MemoryRegistry::Node* key = registry_.Edit(kHkeyCurrentUser, path);
    if (key) std::tie(key->refuseRead, key->refuseWrite) = std::pair(read, write);
    return key != nullptr;
  }
  bool FailSetValue(const std::string& path) override {
    MemoryRegistry::Node* key = registry_.Edit(kHkeyCurrentUser, path);
    if (key) key->failSetValue = true;
    return key != nullptr;
  }

 private:
  MemoryRegistry registry_;
};

INSTANTIATE_TEST_SUITE_P(Memory, RegistrySuite,
                         ::testing::Values(BindingFactory{
                             "Memory", [] { return std::make_unique<MemoryBinding>(); }}),
                         [](const auto& info) { return info.param.name; });

// --- The hooks the pass tests and the fuzzer compare with -------------------------------

TEST(MemoryRegistry, DumpShowsEveryChangeAndLeavesOutWhatIsExcepted) {
  MemoryRegistry registry;
  registry.SeedValue(kHkeyLocalMachine, "Software\\Orvo", "AddOns", kRegSz, {'A', 0});
  registry.SeedValue(kHkeyCurrentUser, "Software\\Sonst", "X", kRegDword, {1, 0, 0, 0});
  const std::string before = registry.Dump();
  EXPECT_EQ(registry.Dump(), before);
  EXPECT_NE(before.find("HKLM\\Software\\Orvo : \"AddOns\" = type 1: 41 00"), std::string::npos)
      << before;

  registry.SeedValue(kHkeyLocalMachine, "Software\\Orvo", "addons", kRegSz, {'B', 0});
  EXPECT_NE(registry.Dump(), before);
  const std::vector<MemoryRegistry::KeyPath> hostKey = {{kHkeyLocalMachine, "software\\orvo"}};
  const std::string outside = registry.Dump(hostKey);
  registry.SeedKey(kHkeyLocalMachine, "Software\\Orvo\\Neu", "K");
  EXPECT_EQ(registry.Dump(hostKey), outside);
  registry.SeedKey(kHkeyLocalMachine, "Software\\Anderes");
  EXPECT_NE(registry.Dump(hostKey), outside);

  // The same contents made in another order dump the same; another spelling does not.
  MemoryRegistry first;
  first.SeedKey(kHkeyLocalMachine, "B");
  first.SeedKey(kHkeyLocalMachine, "a");
  MemoryRegistry second;
  second.SeedKey(kHkeyLocalMachine, "a");
  second.SeedKey(kHkeyLocalMachine, "B");
  EXPECT_EQ(first.Dump(), second.Dump());
  MemoryRegistry third;
  third.SeedKey(kHkeyLocalMachine, "A");
  third.SeedKey(kHkeyLocalMachine, "B");
  EXPECT_NE(first.Dump(), third.Dump());
}

}  // namespace
}  // namespace quillet::ModulRegistrierung
