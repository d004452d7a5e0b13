#include "testing/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/ModulRegistrierung_test.h"
#include "testing/FixedLocale.h"

namespace quillet::ModulRegistrierung {
namespace {

using test::BindingFactory;
using test::RegistrySuite;
using test::TestBinding;

constexpr char kScratch[] = "Software\\QuilletRegistryTest";
constexpr ModulRegistrierung::Root kUser = ModulRegistrierung::Root::CurrentUser;
constexpr ModulRegistrierung::Root kMachine = ModulRegistrierung::Root::LocalMachine;

class MemoryBinding : public TestBinding {
 public:
  MemoryBinding() { registry_.SeedKey(kUser, kScratch); }
  RegistryStore& Store() override { return registry_; }
  Locale& Conversions() override { return locale_; }
  ModulRegistrierung::Root Root() const override { return kUser; }
  std::string Scratch() const override { return kScratch; }
  std::optional<std::string> KeyClass(const std::string& path) override {
    const MemoryRegistry::Node* key = registry_.Find(kUser, path);
    return key ? std::optional(key->keyClass) : std::nullopt;
  }
  std::vector<std::string> ValueNames(const std::string& path) override {
    const MemoryRegistry::Node* key = registry_.Find(kUser, path);
    return key ? key->ValueNames() : std::vector<std::string>();
  }
  bool KeepsClassOfExistingKey() const override { return true; }
  bool RefuseAccess(const std::string& path, bool read, bool write) override {
    MemoryRegistry::Node* key = registry_.Edit(kUser, path);
    if (key) std::tie(key->refuseRead, key->refuseWrite) = std::pair(read, write);
    return key != nullptr;
  }
  bool FailSetValue(const std::string& path) override {
    MemoryRegistry::Node* key = registry_.Edit(kUser, path);
    if (key) key->failSetValue = true;
    return key != nullptr;
  }

 private:
  MemoryRegistry registry_;
  FixedLocale locale_;
};

INSTANTIATE_TEST_SUITE_P(Memory, RegistrySuite,
                         ::testing::Values(BindingFactory{
                             "Memory", [] { return std::make_unique<MemoryBinding>(); }}),
                         [](const auto& info) { return info.param.name; });

// --- The hooks the pass tests and the fuzzer compare with -------------------------------

TEST(MemoryRegistry, DumpShowsEveryChangeAndLeavesOutWhatIsExcepted) {
  MemoryRegistry registry;
  registry.SeedValue(kMachine, "Software\\Orvo", "AddOns", kRegSz, {'A', 0});
  registry.SeedValue(kUser, "Software\\Sonst", "X", kRegDword, {1, 0, 0, 0});
  const std::string before = registry.Dump();
  EXPECT_EQ(registry.Dump(), before);
  EXPECT_NE(before.find("HKLM\\Software\\Orvo : \"AddOns\" = type 1: 41 00"), std::string::npos)
      << before;

  registry.SeedValue(kMachine, "Software\\Orvo", "addons", kRegSz, {'B', 0});
  EXPECT_NE(registry.Dump(), before);
  const std::vector<MemoryRegistry::KeyPath> hostKey = {{kMachine, "software\\orvo"}};
  const std::string outside = registry.Dump(hostKey);
  registry.SeedKey(kMachine, "Software\\Orvo\\Neu", "K");
  EXPECT_EQ(registry.Dump(hostKey), outside);
  registry.SeedKey(kMachine, "Software\\Anderes");
  EXPECT_NE(registry.Dump(hostKey), outside);

  // The same contents made in another order dump the same; another spelling does not.
  MemoryRegistry first;
  first.SeedKey(kMachine, "B");
  first.SeedKey(kMachine, "a");
  MemoryRegistry second;
  second.SeedKey(kMachine, "a");
  second.SeedKey(kMachine, "B");
  EXPECT_EQ(first.Dump(), second.Dump());
  MemoryRegistry third;
  third.SeedKey(kMachine, "A");
  third.SeedKey(kMachine, "B");
  EXPECT_NE(first.Dump(), third.Dump());
}

// The switch the bindings' suite cannot share: an existing value that does not read is Failed,
// a missing one stays Missing, and the key is still there.
TEST(MemoryRegistry, FailReadFailsTheValuesTheKeyHolds) {
  MemoryRegistry registry;
  registry.SeedValue(kMachine, "Software\\Orvo", "AddOns", kRegSz, {'A', 0});
  registry.Edit(kMachine, "Software\\Orvo")->failRead = true;
  EXPECT_EQ(registry.ReadValue(kMachine, "software\\orvo", "ADDONS").status, ReadStatus::Failed);
  EXPECT_EQ(registry.ReadValue(kMachine, "Software\\Orvo", "Fehlt").status, ReadStatus::Missing);
  EXPECT_TRUE(registry.KeyExists(kMachine, "Software\\Orvo"));
  EXPECT_EQ(registry.ReadKey(kMachine, "Software\\Orvo"), std::nullopt);
}

}  // namespace
}  // namespace quillet::ModulRegistrierung
