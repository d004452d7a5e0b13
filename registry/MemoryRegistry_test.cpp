#include "registry/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "registry/ModulRegistrierung_test.h"

namespace ModulRegistrierung {
namespace {

using test::BindingFactory;
using test::RegistrySuite;
using test::TestBinding;

constexpr char kScratch[] = "Software\\QuilletRegistryTest";

class MemoryBinding : public TestBinding {
 public:
  MemoryBinding() { registry_.SeedKey(kHkeyCurrentUser, kScratch); }
  ~MemoryBinding() override {
    EXPECT_EQ(registry_.OpenHandleCount(), 0);
    EXPECT_EQ(registry_.InvalidHandleUseCount(), 0);
  }
  RegistryPlatform& Platform() override { return registry_; }
  RegKey Root() const override { return kHkeyCurrentUser; }
  std::string Scratch() const override { return kScratch; }
  std::optional<std::string> KeyClass(const std::string& path) override {
    return registry_.KeyClass(kHkeyCurrentUser, path);
  }
  bool KeepsClassOfExistingKey() const override { return true; }
  bool RefuseAccess(const std::string& path, bool read, bool write) override {
    return registry_.RefuseAccess(kHkeyCurrentUser, path, read, write);
  }
  bool FailSetValue(const std::string& path) override {
    return registry_.FailSetValue(kHkeyCurrentUser, path);
  }

 private:
  MemoryRegistry registry_;
};

INSTANTIATE_TEST_SUITE_P(Memory, RegistrySuite,
                         ::testing::Values(BindingFactory{
                             "Memory", [] { return std::make_unique<MemoryBinding>(); }}),
                         [](const auto& info) { return info.param.name; });

// --- The stand-in's own Windows semantics, as later tests rely on them ---------------------

RegKey Open(MemoryRegistry& registry, const std::string& path, std::uint32_t access = 0x19) {
  RegKey key = 0;
  EXPECT_EQ(registry.OpenKeyEx(kHkeyLocalMachine, path, 0, access, &key), kErrorSuccess) << path;
  return key;
}

long OpenStatus(MemoryRegistry& registry, const std::string& path, std::uint32_t access = 0x19) {
  RegKey key = 0;
  const long status = registry.OpenKeyEx(kHkeyLocalMachine, path, 0, access, &key);
  if (status == kErrorSuccess) registry.CloseKey(key);
  return status;
}

TEST(MemoryRegistry, NamesMatchWithoutCaseButKeepTheirFirstSpelling) {
  MemoryRegistry registry;
  registry.SeedKey(kHkeyLocalMachine, "Software\\Orvo", "K");
  EXPECT_EQ(OpenStatus(registry, "SOFTWARE\\orvo"), kErrorSuccess);
  RegKey key = 0;
  std::uint32_t disposition = 0;
  ASSERT_EQ(registry.CreateKeyEx(kHkeyLocalMachine, "software\\ORVO\\\xC4pfel", "", 0, 0x3F, &key,
                                 &disposition),
            kErrorSuccess);
  EXPECT_EQ(disposition, kRegCreatedNewKey);
  const std::uint8_t one[] = {'1', 0};
  const std::uint8_t two[] = {'2', 0};
  EXPECT_EQ(registry.SetValueEx(key, "Wert", kRegSz, one, 2), kErrorSuccess);
  EXPECT_EQ(registry.SetValueEx(key, "WERT", kRegSz, two, 2), kErrorSuccess);
  EXPECT_EQ(registry.CloseKey(key), kErrorSuccess);
  EXPECT_EQ(registry.SubKeyNames(kHkeyLocalMachine, "Software"), std::vector<std::string>{"Orvo"});
  EXPECT_EQ(registry.SubKeyNames(kHkeyLocalMachine, "Software\\Orvo"),
            std::vector<std::string>{"\xC4pfel"});
  EXPECT_EQ(registry.ValueNames(kHkeyLocalMachine, "Software\\Orvo\\\xE4PFEL"),
            std::vector<std::string>{"Wert"});
  EXPECT_EQ(registry.Raw(kHkeyLocalMachine, "software\\orvo\\\xE4pfel", "wert"),
            (MemoryRegistry::RawValue{kRegSz, {'2', 0}}));
  EXPECT_EQ(registry.SetValueCount(kHkeyLocalMachine, "SOFTWARE\\Orvo\\\xC4PFEL", "wErT"), 2);
}

TEST(MemoryRegistry, CreateKeepsTheClassOfAnExistingKeyAndReportsTheLastKey) {
  MemoryRegistry registry;
  registry.SeedKey(kHkeyLocalMachine, "A", "Alt");
  RegKey key = 0;
  std::uint32_t disposition = 0;
  ASSERT_EQ(registry.CreateKeyEx(kHkeyLocalMachine, "A", "Neu", 0, 0x3F, &key, &disposition),
            kErrorSuccess);
  EXPECT_EQ(disposition, kRegOpenedExistingKey);
  registry.CloseKey(key);
  EXPECT_EQ(registry.KeyClass(kHkeyLocalMachine, "A"), "Alt");
  ASSERT_EQ(registry.CreateKeyEx(kHkeyLocalMachine, "A\\B\\C", "Neu", 0, 0x3F, &key, &disposition),
            kErrorSuccess);
  EXPECT_EQ(disposition, kRegCreatedNewKey);
  registry.CloseKey(key);
  EXPECT_EQ(registry.KeyClass(kHkeyLocalMachine, "A\\B"), "Neu");
  EXPECT_EQ(registry.KeyClass(kHkeyLocalMachine, "A\\B\\C"), "Neu");
  EXPECT_EQ(registry.KeyClass(kHkeyLocalMachine, "A"), "Alt");
}

TEST(MemoryRegistry, RefusesDeletingARootAndOverlongNames) {
  MemoryRegistry registry;
  EXPECT_EQ(registry.DeleteKey(kHkeyLocalMachine, ""), kErrorAccessDenied);
  EXPECT_EQ(OpenStatus(registry, std::string(255, 'x')), kErrorFileNotFound);
  EXPECT_EQ(OpenStatus(registry, std::string(256, 'x')), kErrorInvalidParameter);
  RegKey key = 0;
  std::uint32_t disposition = 0;
  EXPECT_EQ(registry.CreateKeyEx(kHkeyLocalMachine, "A\\" + std::string(256, 'x'), "", 0, 0x3F,
                                 &key, &disposition),
            kErrorInvalidParameter);
  EXPECT_FALSE(registry.KeyExists(kHkeyLocalMachine, "A"));
  EXPECT_EQ(registry.OpenKeyEx(0x80000009u, "A", 0, 0x19, &key), kErrorInvalidHandle);
  EXPECT_EQ(registry.InvalidHandleUseCount(), 1);
}

TEST(MemoryRegistry, ClosedHandlesStayInvalidAndAreCounted) {
  MemoryRegistry registry;
  registry.SeedKey(kHkeyLocalMachine, "A");
  const RegKey first = Open(registry, "A");
  const RegKey second = Open(registry, "A");
  EXPECT_NE(first, second);
  EXPECT_EQ(registry.OpenHandleCount(), 2);
  EXPECT_EQ(registry.CloseKey(first), kErrorSuccess);
  EXPECT_EQ(registry.OpenHandleCount(), 1);
  EXPECT_EQ(registry.InvalidHandleUseCount(), 0);
  EXPECT_EQ(registry.CloseKey(first), kErrorInvalidHandle);
  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValueEx(first, "x", nullptr, nullptr, &size), kErrorInvalidHandle);
  EXPECT_EQ(registry.FlushKey(first), kErrorInvalidHandle);
  EXPECT_EQ(registry.InvalidHandleUseCount(), 3);
  // The roots are always open and closing them changes nothing.
  EXPECT_EQ(registry.CloseKey(kHkeyLocalMachine), kErrorSuccess);
  EXPECT_EQ(registry.InvalidHandleUseCount(), 3);
  EXPECT_EQ(registry.CloseKey(second), kErrorSuccess);
  EXPECT_EQ(registry.OpenHandleCount(), 0);
}

TEST(MemoryRegistry, RefusalHooksActOnTheRightsAsked) {
  MemoryRegistry registry;
  registry.SeedKey(kHkeyLocalMachine, "R\\Kind");
  registry.SeedKey(kHkeyLocalMachine, "W");
  ASSERT_TRUE(registry.RefuseAccess(kHkeyLocalMachine, "R", true, false));
  ASSERT_TRUE(registry.RefuseAccess(kHkeyLocalMachine, "W", false, true));
  EXPECT_FALSE(registry.RefuseAccess(kHkeyLocalMachine, "Fehlt", true, true));
  EXPECT_EQ(OpenStatus(registry, "R", 0x19), kErrorAccessDenied);
  EXPECT_EQ(OpenStatus(registry, "R", 0x2), kErrorSuccess);
  EXPECT_EQ(OpenStatus(registry, "R\\Kind", 0x19), kErrorSuccess);
  EXPECT_EQ(OpenStatus(registry, "W", 0x19), kErrorSuccess);
  EXPECT_EQ(OpenStatus(registry, "W", 0x3F), kErrorAccessDenied);
  RegKey key = 0;
  std::uint32_t disposition = 0;
  EXPECT_EQ(registry.CreateKeyEx(kHkeyLocalMachine, "W\\Neu", "", 0, 0x3F, &key, &disposition),
            kErrorAccessDenied);
  EXPECT_FALSE(registry.KeyExists(kHkeyLocalMachine, "W\\Neu"));
  EXPECT_EQ(registry.DeleteKey(kHkeyLocalMachine, "W"), kErrorAccessDenied);

  ASSERT_TRUE(registry.FailSetValue(kHkeyLocalMachine, "W"));
  ASSERT_TRUE(registry.RefuseAccess(kHkeyLocalMachine, "W", false, false));
  const RegKey writing = Open(registry, "W", 0x3F);
  const std::uint8_t data[] = {'y', 0};
  EXPECT_EQ(registry.SetValueEx(writing, "v", kRegSz, data, 2), kErrorAccessDenied);
  EXPECT_EQ(registry.SetValueCount(kHkeyLocalMachine, "W", "v"), 1);
  EXPECT_EQ(registry.Raw(kHkeyLocalMachine, "W", "v"), std::nullopt);
  registry.CloseKey(writing);
  EXPECT_EQ(registry.OpenHandleCount(), 0);
}

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

// --- Windows-1252 -------------------------------------------------------------------------

TEST(MemoryRegistry, AnsiIsWindows1252WithoutBestFit) {
  struct Case {
    std::wstring text;
    std::string ansi;
    bool exact;
  };
  const std::vector<Case> cases = {
      {L"abc", "abc", true},
      {std::wstring(L"a\0b", 3), std::string("a\0b", 3), true},
      {L"\u20AC\u201A\u0192\u2122\u0178", "\x80\x82\x83\x99\x9F", true},
      {L"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D", true},
      {L"\u00A0\u00C4\u00DF\u00FF", "\xA0\xC4\xDF\xFF", true},
      {L"\u0080", "?", false},
      {L"\u03A9x", "?x", false},
      {L"\uFF02", "?", false},  // no best fit to '"'
  };
  MemoryRegistry registry;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ansi);
    bool exact = !c.exact;
    EXPECT_EQ(registry.ToAnsi(c.text, &exact), c.ansi);
    EXPECT_EQ(exact, c.exact);
    if (c.exact) {
      EXPECT_EQ(registry.FromAnsi(c.ansi), c.text);
    }
  }
  for (int byte = 0; byte < 256; ++byte) {
    const std::string ansi(1, static_cast<char>(byte));
    bool exact = false;
    EXPECT_EQ(registry.ToAnsi(registry.FromAnsi(ansi), &exact), ansi) << byte;
    EXPECT_TRUE(exact) << byte;
  }
}

// --- Dates --------------------------------------------------------------------------------

constexpr double kSecond = 1.0 / 86400;

TEST(MemoryRegistry, DatesRenderInGermanRegionalFormat) {
  struct Case {
    double date;
    const wchar_t* text;
  };
  const std::vector<Case> cases = {
      {46364 + 50709 * kSecond, L"08.12.2026 14:05:09"},
      {46364, L"08.12.2026"},
      {36526 + 0.25, L"01.01.2000 06:00:00"},
      {0.5, L"12:00:00"},
      {0, L"00:00:00"},
      {1, L"31.12.1899"},
      {-1.25, L"29.12.1899 06:00:00"},
      {60, L"28.02.1900"},
      {61, L"01.03.1900"},
      {-657434, L"01.01.0100"},
      {2958465 + 86399 * kSecond, L"31.12.9999 23:59:59"},
      {46364 + 86399.6 * kSecond, L"09.12.2026"},  // rounds to the next midnight
      {-657435, L""},
      {2958466, L""},
      {std::nan(""), L""},
  };
  MemoryRegistry registry;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    EXPECT_EQ(registry.DateToText(Date{c.date}), c.text);
  }
}

TEST(MemoryRegistry, DateParserTakesOnlyTheRegionalForms) {
  struct Case {
    const wchar_t* text;
    std::optional<double> date;
  };
  const std::vector<Case> cases = {
      {L"08.12.2026 14:05:09", 46364 + 50709 * kSecond},
      {L"8.12.2026 4:05:09", 46364 + 14709 * kSecond},
      {L"08.12.2026", 46364},
      {L"14:05:09", 50709 * kSecond},
      {L"29.12.1899 06:00:00", -1.25},
      {L"29.02.2024", 45351},
      {L"", std::nullopt},
      {L"kein Datum", std::nullopt},
      {L"29.02.2023", std::nullopt},
      {L"31.04.2026", std::nullopt},
      {L"00.01.2026", std::nullopt},
      {L"01.13.2026", std::nullopt},
      {L"01.01.26", std::nullopt},
      {L"01.01.0099", std::nullopt},
      {L"08.12.2026 24:00:00", std::nullopt},
      {L"08.12.2026 14:60:00", std::nullopt},
      {L"08.12.2026 14:05", std::nullopt},
      {L"08.12.2026 ", std::nullopt},
      {L" 08.12.2026", std::nullopt},
      {L"08.12.2026  14:05:09", std::nullopt},
      {L"08-12-2026", std::nullopt},
      {L"08.12.2026x", std::nullopt},
      {L"123:00:00", std::nullopt},
  };
  MemoryRegistry registry;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.text)));
    const std::optional<Date> date = registry.TextToDate(c.text);
    ASSERT_EQ(date.has_value(), c.date.has_value());
    if (date) {
      EXPECT_NEAR(date->oleDate, *c.date, 1e-9);
    }
  }
}

TEST(MemoryRegistry, EveryRenderedDateParsesBackToTheSameSecond) {
  MemoryRegistry registry;
  for (double day = -657434; day < 2958466; day += 997.123456) {
    SCOPED_TRACE(day);
    const std::wstring text = registry.DateToText(Date{day});
    const std::optional<Date> back = registry.TextToDate(text);
    ASSERT_TRUE(back.has_value()) << ::testing::PrintToString(text);
    EXPECT_NEAR(back->oleDate, day, kSecond / 2);
    EXPECT_EQ(registry.DateToText(*back), text);
  }
}

}  // namespace
}  // namespace ModulRegistrierung
