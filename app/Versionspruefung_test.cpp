#include "app/Versionspruefung.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Facts.h"
#include "testing/FixedLocale.h"
#include "testing/MemoryRegistry.h"
#include "testing/RecordingPlatform.h"

namespace {

using namespace ModulRegistrierung;

// Stores a value the way another program would have: raw bytes, not through the layer under
// test.
void Speichern(MemoryRegistry& registry, std::uint32_t typ, const std::vector<std::uint8_t>& daten,
               const std::wstring& wertName = facts::kVersionValue) {
  registry.SeedValue(kHkeyLocalMachine, FixedLocale::ToAnsi(facts::kVersionKey),
                     FixedLocale::ToAnsi(wertName), typ, daten);
}

std::vector<std::uint8_t> Sz(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

enum class Vorrat { KeinSchluessel, KeinWert, Text, Dword };

struct GateCase {
  Vorrat vorrat;
  const char* version;  // the text, or the decimal DWORD
  bool veraltet;
};

void PrintTo(const GateCase& c, std::ostream* os) {
  *os << static_cast<int>(c.vorrat) << ":\"" << c.version << "\"";
}

class Gate : public ::testing::TestWithParam<GateCase> {};

TEST_P(Gate, PassesOrAsksAsTheRecordedVersionSays) {
  const GateCase& c = GetParam();
  MemoryRegistry registry;
  if (c.vorrat == Vorrat::KeinWert) Speichern(registry, kRegSz, Sz("400"), L"Anderes");
  if (c.vorrat == Vorrat::Text) Speichern(registry, kRegSz, Sz(c.version));
  if (c.vorrat == Vorrat::Dword) {
    std::uint32_t zahl = static_cast<std::uint32_t>(std::stoul(c.version));
    Speichern(registry, kRegDword,
              {static_cast<std::uint8_t>(zahl), static_cast<std::uint8_t>(zahl >> 8),
               static_cast<std::uint8_t>(zahl >> 16), static_cast<std::uint8_t>(zahl >> 24)});
  }
  RecordingPlatform platform;
  if (c.veraltet) platform.QueueAnswer(MessageAnswer::No);

  EXPECT_EQ(VersionPruefen({registry, platform}, platform), !c.veraltet);
  EXPECT_EQ(platform.Messages().size(), c.veraltet ? 1u : 0u);
  EXPECT_EQ(platform.UnexpectedMessages(), 0);
  EXPECT_EQ(platform.UnusedAnswers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Gate,
    ::testing::Values(GateCase{Vorrat::KeinSchluessel, "", false},
                      GateCase{Vorrat::KeinWert, "", false}, GateCase{Vorrat::Text, "", false},
                      GateCase{Vorrat::Text, "3", true}, GateCase{Vorrat::Text, "3.5", true},
                      GateCase{Vorrat::Text, "30", true}, GateCase{Vorrat::Text, "399", true},
                      GateCase{Vorrat::Text, "400", true}, GateCase{Vorrat::Text, "410", true},
                      GateCase{Vorrat::Text, "420", true}, GateCase{Vorrat::Text, "430", false},
                      GateCase{Vorrat::Text, "4.3", false}, GateCase{Vorrat::Text, "4.00", false},
                      GateCase{Vorrat::Text, "500", false}, GateCase{Vorrat::Text, "2", false},
                      GateCase{Vorrat::Text, " 400", false}, GateCase{Vorrat::Text, "400 ", false},
                      GateCase{Vorrat::Text, "400;410", true}, GateCase{Vorrat::Dword, "410", true},
                      GateCase{Vorrat::Dword, "430", false}),
    [](const ::testing::TestParamInfo<GateCase>& info) {
      return "Row" + std::to_string(info.index);
    });

TEST(HostVeraltet, ComparesExactlyAndCaseSensitively) {
  EXPECT_FALSE(HostVeraltet(L""));
  EXPECT_TRUE(HostVeraltet(L"3abc"));
  EXPECT_TRUE(HostVeraltet(L"410;420"));
  EXPECT_TRUE(HostVeraltet(L"400;410;420"));
  // Pieces that are not framed by the list's own semicolons do not count.
  EXPECT_FALSE(HostVeraltet(L"40"));
  EXPECT_FALSE(HostVeraltet(L"10"));
  EXPECT_FALSE(HostVeraltet(L";400"));
  EXPECT_FALSE(HostVeraltet(L"400;"));
  EXPECT_FALSE(HostVeraltet(L";"));
  EXPECT_FALSE(HostVeraltet(L"0;4"));
  EXPECT_FALSE(HostVeraltet(L"\x0663"));  // ARABIC-INDIC DIGIT THREE is no "3"
  EXPECT_FALSE(HostVeraltet(L"\xFF13"));  // nor is the full-width one
  EXPECT_FALSE(HostVeraltet(L"400\t"));
}

TEST(VersionPruefen, AsksTheDownloadQuestionAndOpensTheAddressOnYes) {
  MemoryRegistry registry;
  // Where the host records its version, spelt out once.
  registry.SeedValue(kHkeyLocalMachine, "Software\\Orvo\\Brannick\\Gemeinsames", "Version", kRegSz,
                     Sz("410"));
  RecordingPlatform platform;
  platform.QueueAnswer(MessageAnswer::Yes);

  EXPECT_FALSE(VersionPruefen({registry, platform}, platform));

  ASSERT_EQ(platform.Messages().size(), 1u);
  const Message& frage = platform.Messages()[0];
  EXPECT_EQ(frage.title, L"");
  EXPECT_EQ(frage.text,
            L"Der Kestrelview (4.3 oder h\u00f6her) ist nicht installiert, oder wurde noch nie "
            L"gestartet.\r\nM\u00f6chten Sie den Kestrelview jetzt herunterladen ?");
  EXPECT_EQ(frage.icon, MessageIcon::Question);
  EXPECT_EQ(frage.buttons, MessageButtons::YesNo);
  EXPECT_EQ(
      platform.Calls(),
      (std::vector<std::wstring>{
          L"message:",
          L"open:http://www.orvo.de/special.html?Pfad=html/media/static/kestrelview/kv.html"}));
  EXPECT_EQ(platform.UnexpectedMessages(), 0);
}

// An elevated run leaves the browser to the user's own shell, and where that fails, to the user:
// nothing is started with its rights.
struct ElevatedCase {
  const char* label;
  bool userShellWorks;
  std::vector<std::wstring> calls;
};

void PrintTo(const ElevatedCase& c, std::ostream* os) { *os << c.label; }

class ElevatedYes : public ::testing::TestWithParam<ElevatedCase> {};

TEST_P(ElevatedYes, NeverOpensTheAddressItself) {
  const std::wstring adresse = facts::kDownloadAddress;
  MemoryRegistry registry;
  Speichern(registry, kRegSz, Sz("410"));
  RecordingPlatform platform;
  platform.SetElevated(true);
  platform.SetUserShellWorks(GetParam().userShellWorks);
  platform.QueueAnswer(MessageAnswer::Yes);
  if (!GetParam().userShellWorks) platform.QueueAnswer(MessageAnswer::Ok);

  EXPECT_FALSE(VersionPruefen({registry, platform}, platform));

  EXPECT_EQ(platform.Calls(), GetParam().calls);
  EXPECT_EQ(platform.UnexpectedMessages(), 0);
  EXPECT_EQ(platform.UnusedAnswers(), 0u);
  if (!GetParam().userShellWorks) {
    EXPECT_EQ(platform.Messages().back().text,
              L"Die Downloadseite konnte nicht ge\u00f6ffnet werden. Bitte \u00f6ffnen Sie diese "
              L"Adresse in Ihrem Browser:\r\n\r\n" +
                  adresse);
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
                      L"message:Quillet"}}),
    [](const ::testing::TestParamInfo<ElevatedCase>& info) { return info.param.label; });

TEST(VersionPruefen, OpensNothingOnNo) {
  MemoryRegistry registry;
  Speichern(registry, kRegSz, Sz("3"));
  RecordingPlatform platform;
  platform.QueueAnswer(MessageAnswer::No);

  EXPECT_FALSE(VersionPruefen({registry, platform}, platform));
  EXPECT_EQ(platform.Calls(), (std::vector<std::wstring>{L"message:"}));
}

}  // namespace
