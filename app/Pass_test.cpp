#include "app/Pass.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/AddOnEintrag.h"
#include "app/Facts.h"
#include "app/VersionGate.h"
#include "registry/ModulRegistrierung.h"
#include "testing/ExpectedTexts.h"
#include "testing/FixedLocale.h"
#include "testing/MemoryRegistry.h"
#include "testing/RecordingFrontend.h"

namespace quillet {

// Found by GoogleTest through the record's own (global) namespace.
static void PrintTo(const AddOnEintrag& e, std::ostream* os) {
  *os << testing::PrintToString(e.AddOnName) << ", " << testing::PrintToString(e.KurzBeschreibung)
      << ", " << testing::PrintToString(e.ExeDateiname) << ", " << e.EinbindungsModus << ", "
      << testing::PrintToString(e.ParameterFest) << ", " << e.ParameterZusatz << ", "
      << testing::PrintToString(e.LangBeschreibung) << ", "
      << testing::PrintToString(e.SpezialButtonGrafikName) << ", "
      << testing::PrintToString(e.SpezialButtonToolTiptext);
}

namespace {

using namespace ModulRegistrierung;
constexpr Root kMachine = Root::LocalMachine;

constexpr wchar_t kOwnDirectory[] = L"D:\\Werkzeuge\\Quillet";
constexpr wchar_t kInstallStatus[] = L"status:Das Zusatzprogramm wird installiert ..";
constexpr wchar_t kRemoveStatus[] = L"status:Das Zusatzprogramm wird entfernt ..";

// The stand-ins' locale, optionally with an ANSI code page that lacks some characters.
class CodePageLocale : public FixedLocale {
 public:
  void LackAnsiForm(std::wstring character) { lacking_.insert(std::move(character)); }

  std::string ToAnsi(std::wstring_view text, bool* exact) override {
    std::string ansi = FixedLocale::AnsiOf(text, exact);
    for (const std::wstring& character : lacking_) {
      if (text.find(character) != std::wstring_view::npos && exact) *exact = false;
    }
    return ansi;
  }

 private:
  std::set<std::wstring> lacking_;
};

class PassTest : public ::testing::Test {
 protected:
  PassTest() {
    frontend.SetOwnDirectory(kOwnDirectory);
    frontend.SetRegistryProbe([this] { return registry.Changes(); });
  }

  ExitStatus Run(const std::wstring& arguments) {
    frontend.SetCommandText(arguments);
    return RunPass(frontend, stores, frontend.CommandText());
  }

  RegistryContext Context() { return {registry, locale}; }

  // The record as stored for `name`, read back through the registry layer; nullopt when the
  // add-on has no key.
  std::optional<AddOnEintrag> StoredEntry(const std::wstring& name) {
    const std::wstring key = facts::kAddOnKeyPrefix + name;
    if (!RegistryKeyExists(Context(), kMachine, key)) return std::nullopt;
    auto text = [&](const wchar_t* value) {
      ReadResult read = ReadRegistryValue(Context(), kMachine, key, value, TextDecoding::Raw);
      return read.found ? AsText(read.value) : std::wstring(L"<fehlt>");
    };
    auto number = [&](const wchar_t* value) {
      ReadResult read = ReadRegistryValue(Context(), kMachine, key, value, TextDecoding::Raw);
      if (!read.found) return -99;
      return KindOf(read.value) == RegistryValueKind::Integer32 ? std::get<std::int32_t>(read.value)
                                                                : -98;
    };
    return AddOnEintrag{text(L"AddOnName"),
                        text(L"KurzBeschreibung"),
                        text(L"ExeDateiname"),
                        number(L"EinbindungsModus"),
                        text(L"ParameterFest"),
                        number(L"ParameterZusatz"),
                        text(L"LangBeschreibung"),
                        text(L"SpezialButtonGrafikName"),
                        text(L"SpezialButtonToolTiptext")};
  }

  // Registers `name` beforehand, as an earlier run would have.
  void ExpectPresent(const std::wstring& name) {
    RecordingFrontend before(L"\"" + name + L"\",\"k\",\"C:\\x.exe\"");
    ASSERT_EQ(RunPass(before, stores, before.CommandText()), ExitStatus::Done);
    ASSERT_TRUE(StoredEntry(name).has_value());
  }

  void SetVersion(const std::string& version) {
    registry.SeedValue(
        kMachine, FixedLocale::AnsiOf(facts::kVersionKey),
        FixedLocale::AnsiOf(facts::kVersionValue), kRegSz,
        std::vector<std::uint8_t>(version.c_str(), version.c_str() + version.size() + 1));
  }

  RecordingFrontend frontend;
  MemoryRegistry registry;
  CodePageLocale locale;
  const Stores stores{registry, locale};
};

AddOnEintrag Standard(const std::wstring& name, const std::wstring& brief,
                      const std::wstring& exe) {
  return AddOnEintrag{name, brief, exe, 1, L"", 2, L"", L"AddOn", brief};
}

// --- Run modes by the number of fields ------------------------------------------------------

TEST_F(PassTest, ThreeFieldsInstallWithTheDefaults) {
  EXPECT_EQ(Run(L"\"Vellumar\",\"Videoetiketten drucken\",\"C:\\Vellumar.exe\""), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"Vellumar"),
            Standard(L"Vellumar", L"Videoetiketten drucken", L"C:\\Vellumar.exe"));
  EXPECT_EQ(frontend.Calls(),
            (std::vector<std::wstring>{kInstallStatus, L"show", L"lock", L"unlock", L"events",
                                       L"pause:1000", L"unload"}));
  EXPECT_TRUE(frontend.Messages().empty());
}

TEST_F(PassTest, OneOrTwoFieldsRemoveAndIgnoreTheSecond) {
  ExpectPresent(L"Vellumar");
  EXPECT_EQ(Run(L"\"Vellumar\",\"C:\\anderes.exe\""), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"Vellumar"), std::nullopt);
  EXPECT_EQ(frontend.Calls(), (std::vector<std::wstring>{kRemoveStatus, L"show", L"lock", L"unlock",
                                                         L"events", L"pause:1000", L"unload"}));
}

TEST_F(PassTest, FourFieldsReadTheNumbersWithoutDefaults) {
  EXPECT_EQ(Run(L"Vellumar,Videoetiketten drucken,C:\\V.exe,3"), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"Vellumar"),
            (AddOnEintrag{L"Vellumar", L"Videoetiketten drucken", L"C:\\V.exe", 3, L"", 0, L"",
                          L"AddOn", L"Videoetiketten drucken"}));
}

TEST_F(PassTest, NineFieldsAreReadInOrderAndFieldsFiveToNineKeepTheirBlanks) {
  EXPECT_EQ(Run(L"\" n \",\" k \",\" C:\\e.exe \",\" 7 \",\" p \",-12,\" l \",\" \",\" t \""),
            ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"n"),
            (AddOnEintrag{L"n", L"k", L"C:\\e.exe", 7, L" p ", -12, L" l ", L" ", L" t "}));
}

TEST_F(PassTest, EmptyFieldsAfterTheThirdGiveZeroAndTheTextDefaults) {
  EXPECT_EQ(Run(L"a,b,C:\\c.exe,,,,,,"), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"a"),
            (AddOnEintrag{L"a", L"b", L"C:\\c.exe", 0, L"", 0, L"", L"AddOn", L"b"}));
}

TEST_F(PassTest, FieldsAfterTheNinthAreIgnored) {
  EXPECT_EQ(Run(L"a,b,C:\\c.exe,1,p,2,l,g,t,zehn,\"99999999999\",12"), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"a"),
            (AddOnEintrag{L"a", L"b", L"C:\\c.exe", 1, L"p", 2, L"l", L"g", L"t"}));
}

TEST_F(PassTest, NumberFieldsFollowTheNumberRule) {
  struct Row {
    const wchar_t* field;
    std::int32_t number;
  };
  for (const Row& f : {Row{L"2.5", 2}, Row{L"3.5", 4}, Row{L"-2.5", -2}, Row{L"7abc", 7},
                       Row{L"abc", 0}, Row{L"1 2", 12}, Row{L"\"1,5\"", 1}}) {
    RecordingFrontend p(std::wstring(L"a,b,C:\\c.exe,") + f.field + L",," + f.field);
    EXPECT_EQ(RunPass(p, stores, p.CommandText()), ExitStatus::Done) << f.field;
    std::optional<AddOnEintrag> e = StoredEntry(L"a");
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->EinbindungsModus, f.number) << f.field;
    EXPECT_EQ(e->ParameterZusatz, f.number) << f.field;
  }
}

// --- The overflow stop ------------------------------------------------------------------------

TEST_F(PassTest, AnOverflowingNumberStopsBeforeAnythingIsShownOrWritten) {
  struct Row {
    const wchar_t* arguments;
    const wchar_t* text;
  };
  for (const Row& f : {Row{L"a,b,c,99999999999",
                           L"Überlauf: Der Wert (99999999999) in Feld 4 (EinbindungsModus) "
                           L"liegt außerhalb des Zahlenbereichs von -2147483648 bis "
                           L"2147483647."},
                       Row{L"-s a,b,c,1,,-2147483649",
                           L"Überlauf: Der Wert (-2147483649) in Feld 6 "
                           L"(ParameterZusatz) liegt außerhalb des Zahlenbereichs "
                           L"von -2147483648 bis 2147483647."},
                       Row{L"a,b,c,\"1e10\",,99999999999",
                           L"Überlauf: Der Wert (1e10) in Feld 4 "
                           L"(EinbindungsModus) liegt außerhalb des "
                           L"Zahlenbereichs von -2147483648 bis 2147483647."}}) {
    RecordingFrontend p(f.arguments);
    p.QueueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(RunPass(p, stores, p.CommandText()), ExitStatus::Refused);
    ASSERT_EQ(p.Messages().size(), 1u);
    EXPECT_EQ(p.Messages()[0].title, L"Quillet.exe");
    EXPECT_EQ(p.Messages()[0].text, f.text);
    EXPECT_EQ(p.Messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(p.Messages()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(p.UnexpectedMessages(), 0);
    EXPECT_EQ(p.Calls(), (std::vector<std::wstring>{L"message:Quillet.exe"}));
  }
  EXPECT_EQ(registry.Changes(), 0);
}

TEST_F(PassTest, TheOverflowMessageCutsAnEndlessValue) {
  EXPECT_EQ(Run(L"a,b,c," + std::wstring(100000, L'9')), ExitStatus::Refused);
  ASSERT_EQ(frontend.Messages().size(), 1u);
  EXPECT_NE(frontend.Messages()[0].text.find(L"(" + std::wstring(64, L'9') + L"...)"),
            std::wstring::npos);
  EXPECT_LT(frontend.Messages()[0].text.size(), 200u);
}

// --- The silent switch --------------------------------------------------------------------------

TEST_F(PassTest, SilentFormsRemoveWithoutWindowOrPause) {
  ExpectPresent(L"Vellumar");
  EXPECT_EQ(Run(L"-S Vellumar"), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"Vellumar"), std::nullopt);
  EXPECT_EQ(frontend.Calls(),
            (std::vector<std::wstring>{kRemoveStatus, L"lock", L"unlock", L"events", L"unload"}));
}

TEST_F(PassTest, SilentInstallSetsTheTextButShowsNothing) {
  EXPECT_EQ(Run(L"-s a,b,C:\\c.exe"), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"a"), Standard(L"a", L"b", L"C:\\c.exe"));
  EXPECT_EQ(frontend.Calls(),
            (std::vector<std::wstring>{kInstallStatus, L"lock", L"unlock", L"events", L"unload"}));
}

// --- The usage message ----------------------------------------------------------------------

TEST_F(PassTest, NoFieldsShowTheUsageMessage) {
  for (const wchar_t* arguments : {L"", L"-s"}) {
    RecordingFrontend p(arguments);
    p.QueueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(RunPass(p, stores, p.CommandText()), ExitStatus::Refused) << arguments;
    ASSERT_EQ(p.Messages().size(), 1u) << arguments;
    EXPECT_EQ(p.Messages()[0].title, L"Quillet");
    EXPECT_EQ(p.Messages()[0].text, expected::kUsageText);
    EXPECT_EQ(p.Messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(p.Messages()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(p.Calls(), (std::vector<std::wstring>{L"message:Quillet", L"unload"}));
    EXPECT_EQ(p.UnexpectedMessages(), 0);
  }
}

// --- The name check ---------------------------------------------------------------------------

TEST_F(PassTest, UpperCaseNamesAndUmlautsPassAndAreKept) {
  EXPECT_EQ(Run(L"VellUMAR_Ä-ß9,b,C:\\c.exe"), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"VellUMAR_Ä-ß9"), Standard(L"VellUMAR_Ä-ß9", L"b", L"C:\\c.exe"));
  EXPECT_TRUE(frontend.Messages().empty());
}

TEST_F(PassTest, AnEmptyNamePassesTheCheck) {
  EXPECT_EQ(Run(L",b,C:\\c.exe"), ExitStatus::Done);
  EXPECT_TRUE(frontend.Messages().empty());
  EXPECT_EQ(StoredEntry(L""), Standard(L"", L"b", L"C:\\c.exe"));
}

TEST_F(PassTest, InvalidNameCharactersAreShownLowerCasedAndNothingIsDone) {
  struct Row {
    const wchar_t* arguments;
    const wchar_t* character;
  };
  for (const Row& f :
       {Row{L"Café,b,C:\\c.exe", L"é"}, Row{L"CAFÉ,b,C:\\c.exe", L"é"},
        Row{L"a.b,b,C:\\c.exe", L"."}, Row{L"\"Velu mar\",b,C:\\c.exe", L" "},
        Row{L"a\\b,b,C:\\c.exe", L"\\"}, Row{L"-s Café", L"é"},
        Row{L"\"Ka\x0142uza\",b,C:\\c.exe", L"\x0142"}, Row{L"\x4E2D,b,C:\\c.exe", L"\x4E2D"}}) {
    RecordingFrontend p(f.arguments);
    p.QueueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(RunPass(p, stores, p.CommandText()), ExitStatus::Refused) << f.arguments;
    ASSERT_EQ(p.Messages().size(), 1u) << f.arguments;
    EXPECT_EQ(p.Messages()[0].title, L"Quillet.exe");
    EXPECT_EQ(p.Messages()[0].text, std::wstring(L"Das Zeichen (") + f.character +
                                        L") ist im AddOn-Namen nicht erlaubt.");
    EXPECT_EQ(p.Messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(p.Messages()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(p.UnexpectedMessages(), 0);
    EXPECT_EQ(p.Calls(), (std::vector<std::wstring>{L"message:Quillet.exe", L"unload"}))
        << f.arguments;
  }
  EXPECT_EQ(registry.Changes(), 0);
}

TEST_F(PassTest, AnInvalidNameStopsARemove) {
  ExpectPresent(L"Vellumar");
  const long long before = registry.Changes();
  EXPECT_EQ(Run(L"\"Vellumar.\""), ExitStatus::Refused);
  EXPECT_EQ(registry.Changes(), before);
  EXPECT_TRUE(StoredEntry(L"Vellumar").has_value());
}

TEST_F(PassTest, ANameCharacterWithoutAnExactAnsiFormIsRejectedAsWritten) {
  // A code page without the umlauts (a Cyrillic one, say) would store "Ä" as "?".
  locale.LackAnsiForm(L"Ä");
  EXPECT_EQ(Run(L"xÄ,b,C:\\c.exe"), ExitStatus::Refused);
  ASSERT_EQ(frontend.Messages().size(), 1u);
  EXPECT_EQ(frontend.Messages()[0].text, L"Das Zeichen (Ä) ist im AddOn-Namen nicht erlaubt.");
  EXPECT_EQ(frontend.Calls(), (std::vector<std::wstring>{L"message:Quillet.exe", L"unload"}));
  EXPECT_EQ(registry.Changes(), 0);
}

// --- Completing the program path ----------------------------------------------------------------

// Only a bare name is completed. A path the ANSI code page cannot spell is stored in its short
// form when that one can be spelt; otherwise the run fails and registers nothing.
TEST_F(PassTest, OnlyABareProgramNameGetsTheOwnDirectoryAndThePathIsStoredAsSpelt) {
  struct Row {
    const wchar_t* ownDirectory;
    const wchar_t* exe;
    const wchar_t* stored;              // null: nothing registered, exit status 1
    const wchar_t* longPath = nullptr;  // the path ShortPath knows, and its short form
    const wchar_t* shortPath = nullptr;
  };
  for (const Row& f :
       {Row{L"D:\\Quillet", L"Vellumar.exe", L"D:\\Quillet\\Vellumar.exe"},
        Row{L"D:\\Quillet\\", L"Vellumar.exe", L"D:\\Quillet\\Vellumar.exe"},
        Row{L"D:\\", L"C:/Programme/V.exe", L"C:/Programme/V.exe"},
        Row{L"D:\\Quillet", L"C:V.exe", L"C:V.exe"}, Row{L"D:\\Quillet", L"", L"D:\\Quillet\\"},
        Row{L"D:\\Quillet", L"C:\\Vellumar.exe", L"C:\\Vellumar.exe"},
        Row{L"D:\\Quillet", L"\\\\server\\v.exe", L"\\\\server\\v.exe"},
        Row{L"D:\\Quillet", L"tools\\v.exe", L"tools\\v.exe"},
        Row{L"C:\\Programme\\\x03A9mega Zus\u00e4tze", L"Omega.exe",
            L"C:\\PROGRA~1\\MEGAZU~1\\Omega.exe",
            L"C:\\Programme\\\x03A9mega Zus\u00e4tze\\Omega.exe",
            L"C:\\PROGRA~1\\MEGAZU~1\\Omega.exe"},
        Row{L"D:\\Quillet", L"C:\\\x03A9\\O.exe", L"C:\\_~1\\O.exe", L"C:\\\x03A9\\O.exe",
            L"C:\\_~1\\O.exe"},
        Row{L"D:\\Quillet", L"C:\\Zus\u00e4tze\\Z.exe", L"C:\\Zus\u00e4tze\\Z.exe",
            L"C:\\Zus\u00e4tze\\Z.exe", L"C:\\ZUSTZE~1\\Z.exe"},
        Row{L"D:\\Quillet", L"C:\\\x03A9\\O.exe", nullptr},
        Row{L"D:\\Quillet", L"C:\\\x03A9\\O.exe", nullptr, L"C:\\\x03A9\\O.exe",
            L"C:\\\x03A9~1\\O.exe"}}) {
    RecordingFrontend p(std::wstring(L"a,b,\"") + f.exe + L"\"", f.ownDirectory);
    if (f.longPath) p.SetShortPath(f.longPath, f.shortPath);
    const long long before = registry.Changes();
    EXPECT_EQ(RunPass(p, stores, p.CommandText()),
              f.stored ? ExitStatus::Done : ExitStatus::RegistryFailed)
        << testing::PrintToString(std::wstring(f.exe));
    if (!f.stored) {
      EXPECT_EQ(registry.Changes(), before);
      continue;
    }
    std::optional<AddOnEintrag> e = StoredEntry(L"a");
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->ExeDateiname, f.stored);
  }
}

// --- The host version gate comes first ------------------------------------------------------

TEST_F(PassTest, AnOutdatedHostEndsTheRunBeforeTheCommandLineIsRead) {
  SetVersion("410");
  const long long before = registry.Changes();
  for (const wchar_t* arguments :
       {L"", L"-s Vellumar", L"Vellumar,b,C:\\c.exe", L"a,b,c,99999999999", L"Café"}) {
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
      RecordingFrontend p(arguments);
      p.QueueAnswer(answer);
      EXPECT_EQ(RunPass(p, stores, p.CommandText()), ExitStatus::HostOutdated) << arguments;
      ASSERT_EQ(p.Messages().size(), 1u);
      EXPECT_EQ(p.Messages()[0].buttons, MessageButtons::YesNo);
      std::vector<std::wstring> expected{L"message:"};
      if (answer == MessageAnswer::Yes)
        expected.push_back(std::wstring(L"open:") + facts::kDownloadAddress);
      EXPECT_EQ(p.Calls(), expected) << arguments;
      EXPECT_EQ(p.UnexpectedMessages(), 0);
    }
  }
  EXPECT_EQ(registry.Changes(), before);
}

TEST_F(PassTest, ASuitableHostPassesTheGateSilently) {
  SetVersion("430");
  EXPECT_EQ(Run(L"-s a,b,C:\\c.exe"), ExitStatus::Done);
  EXPECT_TRUE(frontend.Messages().empty());
}

// --- Order, lock and registry failures ------------------------------------------------------

TEST_F(PassTest, TheRegistryIsTouchedOnlyBetweenShowingAndTheEvents) {
  EXPECT_EQ(Run(L"a,b,C:\\c.exe"), ExitStatus::Done);
  const std::vector<RecordingFrontend::Event>& log = frontend.Events();
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[1].what, L"show");
  EXPECT_EQ(log[1].probe, 0);
  EXPECT_EQ(log[2].what, L"lock");
  EXPECT_EQ(log[2].probe, 0);
  EXPECT_EQ(log[3].what, L"unlock");
  EXPECT_GT(log[3].probe, 0);
  EXPECT_EQ(log[6].probe, log[3].probe);
}

TEST_F(PassTest, ALockThatCannotBeTakenDoesNotStopTheRun) {
  frontend.SetLockAvailable(false);
  EXPECT_EQ(Run(L"-s a,b,C:\\c.exe"), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"a"), Standard(L"a", L"b", L"C:\\c.exe"));
  EXPECT_EQ(frontend.Calls(),
            (std::vector<std::wstring>{kInstallStatus, L"lock:refused", L"events", L"unload"}));
}

// The stand-in itself: a box the script did not foresee must not pass unnoticed.
TEST(RecordingFrontend, CountsBoxesWithoutAFittingAnswer) {
  RecordingFrontend p;
  const Message ok{L"t", L"x", MessageIcon::Information, MessageButtons::Ok};
  const Message question{L"", L"?", MessageIcon::Question, MessageButtons::YesNo};
  EXPECT_EQ(p.Show(question), MessageAnswer::No);
  EXPECT_EQ(p.UnexpectedMessages(), 1);
  p.QueueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(p.Show(question), MessageAnswer::Yes);
  EXPECT_EQ(p.UnexpectedMessages(), 1);
  p.QueueAnswer(MessageAnswer::Yes);
  p.QueueAnswer(MessageAnswer::Ok);
  p.Show(ok);
  EXPECT_EQ(p.UnexpectedMessages(), 2);
  EXPECT_EQ(p.UnusedAnswers(), 1u);
  {
    auto lock = p.LockAddOnList();
    EXPECT_NE(lock, nullptr);
  }
  EXPECT_EQ(p.Calls(), (std::vector<std::wstring>{L"message:", L"message:", L"message:t", L"lock",
                                                  L"unlock"}));
}

TEST_F(PassTest, AFailedRegistryWriteEndsTheRunWithItsOwnStatus) {
  const std::string key = FixedLocale::AnsiOf(facts::kAddOnKeyPrefix + std::wstring(L"a"));
  registry.SeedKey(kMachine, key);
  registry.Edit(kMachine, key)->failSetValue = true;
  EXPECT_EQ(Run(L"a,b,C:\\c.exe"), ExitStatus::RegistryFailed);
  // The window and the pause are the same as after a good run; no message is added.
  EXPECT_EQ(frontend.Calls(),
            (std::vector<std::wstring>{kInstallStatus, L"show", L"lock", L"unlock", L"events",
                                       L"pause:1000", L"unload"}));
  EXPECT_TRUE(frontend.Messages().empty());
}

// --- The gate and the work as two steps -----------------------------------------------------

// A host that checks early and changes late runs the two steps apart: the gate alone reads and
// asks but never touches the command line or the add-on; the work alone never asks about the
// host, whatever version it has.
TEST_F(PassTest, TheGateAndTheWorkRunApart) {
  SetVersion("410");
  RecordingFrontend gate(L"a,b,C:\\c.exe");
  gate.QueueAnswer(MessageAnswer::No);
  EXPECT_EQ(RunVersionGate(gate, stores), ExitStatus::HostOutdated);
  EXPECT_EQ(gate.Calls(), (std::vector<std::wstring>{L"message:"}));
  EXPECT_EQ(registry.Changes(), 0);

  EXPECT_EQ(RunAddOnWork(frontend, stores, ReadCommand(L"-s a,b,C:\\c.exe")), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"a"), Standard(L"a", L"b", L"C:\\c.exe"));
  EXPECT_EQ(frontend.Calls(),
            (std::vector<std::wstring>{kInstallStatus, L"lock", L"unlock", L"events", L"unload"}));

  SetVersion("430");
  RecordingFrontend passing(L"Vellumar");
  EXPECT_EQ(RunVersionGate(passing, stores), ExitStatus::Done);
  EXPECT_TRUE(passing.Calls().empty());
  EXPECT_EQ(RunAddOnWork(frontend, stores, ReadCommand(L"\"a\"")), ExitStatus::Done);
  EXPECT_EQ(StoredEntry(L"a"), std::nullopt);
}

// What an installer's log gets: what was read, what the gate decided, what was done, the outcome.
TEST_F(PassTest, TheLogTellsWhatWasReadAndDone) {
  SetVersion("430");
  EXPECT_EQ(Run(L"-s a,b,C:\\c.exe"), ExitStatus::Done);
  const std::wstring key = L"software\\Orvo\\Brannick\\Brannick\\AddOn_a";
  EXPECT_EQ(
      frontend.LogLines(),
      (std::vector<std::wstring>{
          L"host version '430'", L"gate passed", L"key created " + key,
          L"value written AddOnName = 'a'", L"value written EinbindungsModus = '1'",
          L"value written ExeDateiname = 'C:\\c.exe'", L"value written ParameterFest = ''",
          L"value written ParameterZusatz = '2'", L"value written KurzBeschreibung = 'b'",
          L"value written LangBeschreibung = ''",
          L"value written SpezialButtonGrafikName = 'AddOn'",
          L"value written SpezialButtonToolTiptext = 'b'", L"list '' -> 'a'", L"status 0 (done)"}));

  RecordingFrontend remove(L"-s A");
  EXPECT_EQ(RunPass(remove, stores, remove.CommandText()), ExitStatus::Done);
  EXPECT_EQ(remove.LogLines(),
            (std::vector<std::wstring>{L"host version '430'", L"gate passed",
                                       L"key deleted software\\Orvo\\Brannick\\Brannick\\AddOn_A",
                                       L"list 'a' -> ''", L"status 0 (done)"}));

  SetVersion("3");
  RecordingFrontend outdated(L"a");
  outdated.QueueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(RunPass(outdated, stores, outdated.CommandText()), ExitStatus::HostOutdated);
  EXPECT_EQ(outdated.LogLines(), (std::vector<std::wstring>{
                                     L"host version '3'", L"host outdated, download page asked for",
                                     L"status 3 (host outdated)"}));
}

}  // namespace

}  // namespace quillet
