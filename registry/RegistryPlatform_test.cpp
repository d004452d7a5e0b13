// The operations of the registry seam, run against both bindings, so that the real registry
// decides what the in-memory one must do.
#include "registry/RegistryPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/ModulRegistrierung_test.h"

namespace quillet::ModulRegistrierung::test {
namespace {

TEST_P(RegistrySuite, ReadGivesExactlyTheStoredBytes) {
  Store("", "roh", kRegSz, {'a', 'b', 'c'});
  Store("", "leer", kRegSz, {});
  Store("", "zahl", kRegDword, {1, 2, 3, 4, 5, 6, 7, 8});
  OwnedKey key = platform_->OpenKey(binding_->Root(), AnsiPath(), kAccessRead);
  ASSERT_NE(key, nullptr);
  // A text stored without terminator comes without one, although Windows adds one to a buffer
  // with room to spare.
  EXPECT_EQ(key->Read("ROH"), (StoredValue{kRegSz, {'a', 'b', 'c'}}));
  EXPECT_EQ(key->Read("leer"), (StoredValue{kRegSz, {}}));
  EXPECT_EQ(key->Read("zahl"), (StoredValue{kRegDword, {1, 2, 3, 4, 5, 6, 7, 8}}));
  EXPECT_EQ(key->Read("fehlt"), std::nullopt);
  const std::vector<std::uint8_t> big(100000, 'x');
  Store("", "lang", kRegBinary, big);
  EXPECT_EQ(key->Read("lang"), (StoredValue{kRegBinary, big}));
}

TEST_P(RegistrySuite, NamesFoldTheCaseOfWindows1252Letters) {
  struct Case {
    std::string created;
    std::string looked;
    bool same;
  };
  const std::vector<Case> cases = {
      {"\xC4", "\xE4", true}, {"\x8A", "\x9A", true},  {"\x8C", "\x9C", true},
      {"\x8E", "\x9E", true}, {"\x9F", "\xFF", true},  {"\xDE", "\xFE", true},
      {"\xC0", "\xE0", true}, {"\xD7", "\xF7", false}, {"\xDF", "SS", false},
      {"\xB5", "\xB5", true}, {"i", "I", true},        {"\x80", "\x80", true},
      {"\x81", "\x81", true}, {"a", "b", false},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(i);
    const std::string prefix = AnsiPath("K" + std::to_string(i) + "_");
    ASSERT_NE(platform_->CreateKey(binding_->Root(), prefix + c.created, "", kAccessAll).key,
              nullptr);
    EXPECT_EQ(platform_->OpenKey(binding_->Root(), prefix + c.looked, kAccessRead) != nullptr,
              c.same);
  }
}

TEST_P(RegistrySuite, AValueKeepsTheFirstSpellingOfItsName) {
  OwnedKey key = platform_->CreateKey(binding_->Root(), AnsiPath(), "", kAccessAll).key;
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->Write("Wert", {kRegSz, {'1', 0}}));
  EXPECT_TRUE(key->Write("WERT", {kRegSz, {'2', 0}}));
  EXPECT_EQ(ReadStored("", "wert"), (StoredValue{kRegSz, {'2', 0}}));
  EXPECT_EQ(binding_->ValueNames(AnsiPath()), std::vector<std::string>{"Wert"});
}

TEST_P(RegistrySuite, ADeletedKeyIsNotReachedThroughAKeyOpenedBefore) {
  const RegistryRoot root = binding_->Root();
  OwnedKey open = platform_->CreateKey(root, AnsiPath("A"), "", kAccessAll).key;
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(platform_->DeleteKey(root, AnsiPath("a")));
  EXPECT_FALSE(platform_->DeleteKey(root, AnsiPath("a")));
  ASSERT_NE(platform_->CreateKey(root, AnsiPath("A"), "", kAccessAll).key, nullptr);
  EXPECT_FALSE(open->Write("x", {kRegBinary, {1}}));
  EXPECT_EQ(open->Read("x"), std::nullopt);
  EXPECT_EQ(ReadStored("A", "x"), std::nullopt);
}

}  // namespace
}  // namespace quillet::ModulRegistrierung::test
