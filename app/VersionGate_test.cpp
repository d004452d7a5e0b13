#include "app/VersionGate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Facts.h"
#include "testing/FixedLocale.h"
#include "testing/MemoryRegistry.h"
#include "testing/RecordingFrontend.h"
#include "testing/StoredBytes.h"

namespace quillet {

namespace {

using namespace ModulRegistrierung;
constexpr Root kMachine = Root::LocalMachine;

// Stores a value the way another program would have: raw bytes, not through the layer under
// test.
void Store(MemoryRegistry& registry, std::uint32_t type, const std::vector<std::uint8_t>& data,
           const std::wstring& valueName = facts::kVersionValue) {
  registry.SeedValue(kMachine, FixedLocale::AnsiOf(facts::kVersionKey),
                     FixedLocale::AnsiOf(valueName), type, data);
}

using stored::Sz;

enum class Supply { MissingKey, MissingValue, Text, Dword };

struct GateCase {
  Supply supply;
  const char* version;  // the text, or the decimal DWORD
  bool outdated;
};

void PrintTo(const GateCase& c, std::ostream* os) {
  *os << static_cast<int>(c.supply) << ":\"" << c.version << "\"";
}

class Gate : public ::testing::TestWithParam<GateCase> {};

TEST_P(Gate, PassesOrAsksAsTheRecordedVersionSays) {
  const GateCase& c = GetParam();
  MemoryRegistry registry;
  if (c.supply == Supply::MissingValue) Store(registry, kRegSz, Sz("400"), L"Anderes");
  if (c.supply == Supply::Text) Store(registry, kRegSz, Sz(c.version));
  if (c.supply == Supply::Dword) {
    std::uint32_t number = static_cast<std::uint32_t>(std::stoul(c.version));
    Store(registry, kRegDword, stored::Dword(number));
  }
  RecordingFrontend frontend;
  FixedLocale locale;
  if (c.outdated) frontend.QueueAnswer(MessageAnswer::No);

  EXPECT_EQ(CheckHostVersion({registry, locale}, frontend), !c.outdated);
  EXPECT_EQ(frontend.Messages().size(), c.outdated ? 1u : 0u);
  EXPECT_EQ(frontend.UnexpectedMessages(), 0);
  EXPECT_EQ(frontend.UnusedAnswers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Gate,
    ::testing::Values(GateCase{Supply::MissingKey, "", false},
                      GateCase{Supply::MissingValue, "", false}, GateCase{Supply::Text, "", false},
                      GateCase{Supply::Text, "3", true}, GateCase{Supply::Text, "3.5", true},
                      GateCase{Supply::Text, "30", true}, GateCase{Supply::Text, "399", true},
                      GateCase{Supply::Text, "400", true}, GateCase{Supply::Text, "410", true},
                      GateCase{Supply::Text, "420", true}, GateCase{Supply::Text, "430", false},
                      GateCase{Supply::Text, "4.3", false}, GateCase{Supply::Text, "4.00", false},
                      GateCase{Supply::Text, "500", false}, GateCase{Supply::Text, "2", false},
                      GateCase{Supply::Text, " 400", false}, GateCase{Supply::Text, "400 ", false},
                      GateCase{Supply::Text, "400;410", true}, GateCase{Supply::Dword, "410", true},
                      GateCase{Supply::Dword, "430", false}),
    [](const ::testing::TestParamInfo<GateCase>& info) {
      return "Row" + std::to_string(info.index);
    });

TEST(IsOutdatedHostVersion, ComparesExactlyAndCaseSensitively) {
  EXPECT_FALSE(IsOutdatedHostVersion(L""));
  EXPECT_TRUE(IsOutdatedHostVersion(L"3abc"));
  EXPECT_TRUE(IsOutdatedHostVersion(L"410;420"));
  EXPECT_TRUE(IsOutdatedHostVersion(L"400;410;420"));
  // Pieces that are not framed by the list's own semicolons do not count.
  EXPECT_FALSE(IsOutdatedHostVersion(L"40"));
  EXPECT_FALSE(IsOutdatedHostVersion(L"10"));
  EXPECT_FALSE(IsOutdatedHostVersion(L";400"));
  EXPECT_FALSE(IsOutdatedHostVersion(L"400;"));
  EXPECT_FALSE(IsOutdatedHostVersion(L";"));
  EXPECT_FALSE(IsOutdatedHostVersion(L"0;4"));
  EXPECT_FALSE(IsOutdatedHostVersion(L"\x0663"));  // ARABIC-INDIC DIGIT THREE is no "3"
  EXPECT_FALSE(IsOutdatedHostVersion(L"\xFF13"));  // nor is the full-width one
  EXPECT_FALSE(IsOutdatedHostVersion(L"400\t"));
}

TEST(CheckHostVersion, AsksTheDownloadQuestionAndOpensTheAddressOnYes) {
  MemoryRegistry registry;
  // Where the host records its version, spelt out once.
  registry.SeedValue(kMachine, "Software\\Orvo\\Brannick\\Gemeinsames", "Version", kRegSz,
                     Sz("410"));
  RecordingFrontend frontend;
  FixedLocale locale;
  frontend.QueueAnswer(MessageAnswer::Yes);

  EXPECT_FALSE(CheckHostVersion({registry, locale}, frontend));

  ASSERT_EQ(frontend.Messages().size(), 1u);
  const Message& question = frontend.Messages()[0];
  EXPECT_EQ(question.title, L"");
  EXPECT_EQ(question.text,
            L"Der Kestrelview (4.3 oder h\u00f6her) ist nicht installiert, oder wurde noch nie "
            L"gestartet.\r\nM\u00f6chten Sie den Kestrelview jetzt herunterladen ?");
  EXPECT_EQ(question.icon, MessageIcon::Question);
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(
      frontend.Calls(),
      (std::vector<std::wstring>{
          L"message:",
          L"open:http://www.orvo.de/special.html?Pfad=html/media/static/kestrelview/kv.html"}));
  EXPECT_EQ(frontend.UnexpectedMessages(), 0);
}

// An elevated run leaves the browser to the user's own shell, and where that fails, to the user:
// nothing is started with its rights.
struct ElevatedCase {
  const char* label;
  bool userShellWorks;
  std::vector<std::wstring> calls;
  bool system = false;  // the run is SYSTEM's
};

void PrintTo(const ElevatedCase& c, std::ostream* os) { *os << c.label; }

class ElevatedYes : public ::testing::TestWithParam<ElevatedCase> {};

TEST_P(ElevatedYes, NeverOpensTheAddressItself) {
  const std::wstring address = facts::kDownloadAddress;
  MemoryRegistry registry;
  Store(registry, kRegSz, Sz("410"));
  RecordingFrontend frontend;
  FixedLocale locale;
  frontend.SetElevated(true);
  frontend.SetUserShellWorks(GetParam().userShellWorks);
  frontend.SetSystem(GetParam().system);
  const bool boxShown = !GetParam().userShellWorks || GetParam().system;
  frontend.QueueAnswer(MessageAnswer::Yes);
  if (boxShown) frontend.QueueAnswer(MessageAnswer::Ok);

  EXPECT_FALSE(CheckHostVersion({registry, locale}, frontend));

  EXPECT_EQ(frontend.Calls(), GetParam().calls);
  EXPECT_EQ(frontend.UnexpectedMessages(), 0);
  EXPECT_EQ(frontend.UnusedAnswers(), 0u);
  if (boxShown) {
    EXPECT_EQ(frontend.Messages().back().text,
              L"Die Downloadseite konnte nicht ge\u00f6ffnet werden. Bitte \u00f6ffnen Sie diese "
              L"Adresse in Ihrem Browser:\r\n\r\n" +
                  address);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ElevatedYes,
    ::testing::Values(
        ElevatedCase{"UserShell",
                     true,
                     {L"message:", L"open-as-user:" + std::wstring(facts::kDownloadAddress)}},
        ElevatedCase{"UserShellFails",
                     false,
                     {L"message:", L"open-as-user:" + std::wstring(facts::kDownloadAddress),
                      L"message:Quillet"}},
        // As SYSTEM the shell is not asked even when it would answer: the address is shown.
        ElevatedCase{"SystemSkipsTheUserShell", true, {L"message:", L"message:Quillet"}, true}),
    [](const ::testing::TestParamInfo<ElevatedCase>& info) { return info.param.label; });

TEST(CheckHostVersion, OpensNothingOnNo) {
  MemoryRegistry registry;
  Store(registry, kRegSz, Sz("3"));
  RecordingFrontend frontend;
  FixedLocale locale;
  frontend.QueueAnswer(MessageAnswer::No);

  EXPECT_FALSE(CheckHostVersion({registry, locale}, frontend));
  EXPECT_EQ(frontend.Calls(), (std::vector<std::wstring>{L"message:"}));
}

// A version stored as a "typdate:" text that holds no date: the notice names the value and the
// whole text, and the version then reads as nothing, which passes.
TEST(CheckHostVersion, AnInvalidDateShowsTheNoticeAndPasses) {
  MemoryRegistry registry;
  Store(registry, kRegSz, Sz("typdate:kein Datum"));
  RecordingFrontend frontend;
  FixedLocale locale;
  frontend.QueueAnswer(MessageAnswer::Ok);

  EXPECT_TRUE(CheckHostVersion({registry, locale}, frontend));

  ASSERT_EQ(frontend.Messages().size(), 1u);
  const Message& notice = frontend.Messages()[0];
  EXPECT_EQ(notice.title, L"Ung\u00fcltiger Datumswert");
  EXPECT_EQ(notice.text,
            L"Registrierung: Version enth\u00e4lt den ung\u00fcltigen Datumswert: typdate:kein "
            L"Datum\r\nDer Standardwert wird verwendet.");
  EXPECT_EQ(notice.icon, MessageIcon::Information);
  EXPECT_EQ(notice.buttons, MessageButtons::Ok);
  EXPECT_EQ(frontend.UnexpectedMessages(), 0);
}

}  // namespace

}  // namespace quillet
