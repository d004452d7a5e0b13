// The operations of the registry store, run against both bindings, so that the real registry
// decides what the in-memory one must do.
#include "registry/RegistryStore.h"

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
  const auto read = [&](const std::string& name) {
    return store_->ReadValue(binding_->Root(), AnsiPath(), name);
  };
  // A text stored without terminator comes without one, although Windows adds one to a buffer
  // with room to spare.
  EXPECT_EQ(read("ROH").value, (StoredValue{kRegSz, {'a', 'b', 'c'}}));
  EXPECT_EQ(read("ROH").status, ReadStatus::Found);
  EXPECT_EQ(read("leer").value, (StoredValue{kRegSz, {}}));
  EXPECT_EQ(read("leer").status, ReadStatus::Found);
  EXPECT_EQ(read("zahl").value, (StoredValue{kRegDword, {1, 2, 3, 4, 5, 6, 7, 8}}));
  EXPECT_EQ(read("fehlt").status, ReadStatus::Missing);
  EXPECT_EQ(store_->ReadValue(binding_->Root(), AnsiPath("Fehlt"), "roh").status,
            ReadStatus::Missing);
  const std::vector<std::uint8_t> big(100000, 'x');
  Store("", "lang", kRegBinary, big);
  EXPECT_EQ(read("lang").value, (StoredValue{kRegBinary, big}));
}

// What an installer's undo record needs to put a deleted key back: its class, and every value
// with its name as spelt, its type and its bytes, in the registry's order.
TEST_P(RegistrySuite, ReadKeyGivesTheClassAndEveryValueAsStored) {
  ASSERT_EQ(store_->CreateKey(binding_->Root(), AnsiPath("AddOn_X"), "Anwendungsdaten"),
            KeyCreation::Created);
  Store("AddOn_X", "AddOnName", kRegSz, {'X', 0});
  Store("AddOn_X", "Modus", kRegDword, {0xFE, 0xFF, 0xFF, 0xFF});
  Store("AddOn_X", "Roh", kRegSz, {'a', 'b'});
  Store("AddOn_X", "Leer", kRegBinary, {});
  Store("AddOn_X", "\xC4rger", kRegBinary, std::vector<std::uint8_t>(5000, 0xA5));
  const KeyContents expected{"Anwendungsdaten",
                             {{"AddOnName", {kRegSz, {'X', 0}}},
                              {"Modus", {kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}}},
                              {"Roh", {kRegSz, {'a', 'b'}}},
                              {"Leer", {kRegBinary, {}}},
                              {"\xC4rger", {kRegBinary, std::vector<std::uint8_t>(5000, 0xA5)}}}};
  EXPECT_EQ(store_->ReadKey(binding_->Root(), AnsiPath("addon_x")), expected);
  ASSERT_EQ(store_->CreateKey(binding_->Root(), AnsiPath("Leer"), ""), KeyCreation::Created);
  EXPECT_EQ(store_->ReadKey(binding_->Root(), AnsiPath("Leer")), (KeyContents{"", {}}));
  EXPECT_EQ(store_->ReadKey(binding_->Root(), AnsiPath("Fehlt")), std::nullopt);
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
    ASSERT_EQ(store_->CreateKey(binding_->Root(), prefix + c.created, ""), KeyCreation::Created);
    EXPECT_EQ(store_->KeyExists(binding_->Root(), prefix + c.looked), c.same);
  }
}

TEST_P(RegistrySuite, AValueKeepsTheFirstSpellingOfItsName) {
  EXPECT_TRUE(store_->WriteValue(binding_->Root(), AnsiPath(), "Wert", {kRegSz, {'1', 0}}));
  EXPECT_TRUE(store_->WriteValue(binding_->Root(), AnsiPath(), "WERT", {kRegSz, {'2', 0}}));
  EXPECT_EQ(ReadStored("", "wert"), (StoredValue{kRegSz, {'2', 0}}));
  EXPECT_EQ(binding_->ValueNames(AnsiPath()), std::vector<std::string>{"Wert"});
}

TEST_P(RegistrySuite, ADeletedKeyComesBackEmptyAndIsNotCreatedByAWrite) {
  const Root root = binding_->Root();
  Store("A", "x", kRegBinary, {1});
  EXPECT_TRUE(store_->DeleteKey(root, AnsiPath("a")));
  EXPECT_FALSE(store_->DeleteKey(root, AnsiPath("a")));
  EXPECT_FALSE(store_->WriteValue(root, AnsiPath("A"), "x", {kRegBinary, {2}}));
  EXPECT_FALSE(store_->KeyExists(root, AnsiPath("A")));
  EXPECT_FALSE(store_->KeyWritable(root, AnsiPath("A")));
  ASSERT_EQ(store_->CreateKey(root, AnsiPath("A"), ""), KeyCreation::Created);
  EXPECT_EQ(store_->CreateKey(root, AnsiPath("a"), ""), KeyCreation::Existed);
  EXPECT_TRUE(store_->KeyWritable(root, AnsiPath("A")));
  EXPECT_EQ(ReadStored("A", "x"), std::nullopt);
}

}  // namespace
}  // namespace quillet::ModulRegistrierung::test
