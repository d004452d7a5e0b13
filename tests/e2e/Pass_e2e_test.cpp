// quillet.exe under Wine, from the command line to the exit status: the usage message, the
// name check, the number overflow, and what reaches the registry.
#include <optional>
#include <ostream>
#include <string>

#include "testing/ExpectedTexts.h"
#include "tests/e2e/E2eTest.h"

namespace quillet {

namespace e2e {
namespace {

const std::wstring kVellumarKey = std::wstring(kHostKey) + L"\\AddOn_Vellumar";

// Two registered add-ons that a refused run must leave exactly as they are; one of them has a
// name the name check rejects, so a remove that slipped past the check would show.
void SeedRegisteredAddOns() {
  ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L"Vellumar,Vellu.mar"));
  ASSERT_TRUE(WriteText(kVellumarKey, L"AddOnName", L"Vellumar"));
  ASSERT_TRUE(WriteText(std::wstring(kHostKey) + L"\\AddOn_Vellu.mar", L"AddOnName", L"Vellu.mar"));
}

bool OnlyOk(const MessageBoxSeen& box) {
  return box.hasOk && !box.hasYes && !box.hasNo && !box.hasCancel;
}

struct Case {
  const char* label;
  std::wstring argumentText;
  std::wstring expected;  // what the case looks for in the message
};

std::string Label(const ::testing::TestParamInfo<Case>& info) { return info.param.label; }
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.label; }

// --- The usage message --------------------------------------------------------------------

class UsageMessageTest : public BrannickTest, public ::testing::WithParamInterface<Case> {};

TEST_P(UsageMessageTest, ShowsTheUsageAndChangesNothing) {
  SeedRegisteredAddOns();
  const std::string before = Snapshot(kBrannickKey);

  const RunResult run = RunQuillet(GetParam().argumentText, {Button::Ok});

  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  ASSERT_EQ(run.messageBoxes.size(), 1u) << Describe(run);
  const MessageBoxSeen& box = run.messageBoxes[0];
  EXPECT_EQ(box.caption, L"Quillet");
  EXPECT_EQ(box.text, expected::kUsageText);
  EXPECT_TRUE(OnlyOk(box)) << Describe(run);
  EXPECT_EQ(box.icon, Icon::Information);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_TRUE(NoStatusWindowShown(run));
  EXPECT_EQ(Snapshot(kBrannickKey), before);
}

INSTANTIATE_TEST_SUITE_P(NoFields, UsageMessageTest,
                         ::testing::Values(Case{"Empty", L"", L""}, Case{"Blanks", L"   ", L""},
                                           Case{"SilentAlone", L"-s", L""},
                                           Case{"SilentUpperCaseThenBlanks", L"-S   ", L""}),
                         Label);

// --- The name check -----------------------------------------------------------------------

class InvalidNameTest : public BrannickTest, public ::testing::WithParamInterface<Case> {};

TEST_P(InvalidNameTest, ShowsTheCharacterAndChangesNothing) {
  SeedRegisteredAddOns();
  const std::string before = Snapshot(kBrannickKey);

  const RunResult run = RunQuillet(GetParam().argumentText, {Button::Ok});

  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  ASSERT_EQ(run.messageBoxes.size(), 1u) << Describe(run);
  const MessageBoxSeen& box = run.messageBoxes[0];
  EXPECT_EQ(box.caption, L"Quillet.exe");
  EXPECT_EQ(box.text,
            L"Das Zeichen (" + GetParam().expected + L") ist im AddOn-Namen nicht erlaubt.");
  EXPECT_TRUE(OnlyOk(box)) << Describe(run);
  EXPECT_EQ(box.icon, Icon::Error);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_TRUE(NoStatusWindowShown(run));
  EXPECT_EQ(Snapshot(kBrannickKey), before);
}

INSTANTIATE_TEST_SUITE_P(
    Removes, InvalidNameTest,
    ::testing::Values(
        // Not silent: the switch counts only at the very start, so this is one field with blanks.
        Case{"SwitchNotAtStart", L"x -s Vellumar", L" "}, Case{"Blank", L"Velu mar", L" "},
        Case{"SmallEAcute", L"Vellum\u00e9r", L"\u00e9"},
        // Shown lower-cased, as it was looked up.
        Case{"CapitalEAcute", L"Vellum\u00c9r", L"\u00e9"}, Case{"FullStop", L"Vellu.mar", L"."},
        Case{"Backslash", L"Vellu\\mar", L"\\"}, Case{"FirstOfSeveral", L"Ve.llu mar", L"."},
        // Message boxes are shown in silent runs too.
        Case{"Silent", L"-s Vellu.mar", L"."},
        // The exe reads the wide command line: a full-width quotation mark stays what it is.
        // Through the ANSI command line it would arrive as a real double quote, the field would
        // be the name Vellumar, and Vellumar would be removed.
        Case{"FullWidthQuotationMark", L"\uFF02Vellumar\uFF02", L"\uFF02"}),
    Label);

INSTANTIATE_TEST_SUITE_P(
    Installs, InvalidNameTest,
    ::testing::Values(
        Case{"FullStop", L"\"Vellu.mar\",\"Videoetiketten drucken\",\"Vellumar.exe\"", L"."},
        Case{"NineFields", L"Vellu mar,Kurz,Vellumar.exe,3,fest,4,lang,Bild,Tipp", L" "}),
    Label);

// --- The number overflow ------------------------------------------------------------------

class OverflowTest : public BrannickTest, public ::testing::WithParamInterface<Case> {};

// The wording is ours to choose; it names the field's number and shows the value.
TEST_P(OverflowTest, StopsBeforeAnythingIsShownOrWritten) {
  SeedRegisteredAddOns();
  const std::string before = Snapshot(kBrannickKey);

  const RunResult run = RunQuillet(GetParam().argumentText, {Button::Ok});

  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  ASSERT_EQ(run.messageBoxes.size(), 1u) << Describe(run);
  const MessageBoxSeen& box = run.messageBoxes[0];
  EXPECT_EQ(box.caption, L"Quillet.exe");
  EXPECT_NE(box.text.find(GetParam().expected), std::wstring::npos) << Describe(run);
  EXPECT_TRUE(OnlyOk(box)) << Describe(run);
  EXPECT_EQ(box.icon, Icon::Error);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_TRUE(NoStatusWindowShown(run));
  EXPECT_EQ(Snapshot(kBrannickKey), before);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, OverflowTest,
    ::testing::Values(
        Case{"Field4ElevenNines",
             L"\"Vellumar\",\"Videoetiketten drucken\",\"Vellumar.exe\",99999999999", L"Feld 4"},
        Case{"Field4ValueShown", L"Vellumar,Kurz,Vellumar.exe,99999999999", L"99999999999"},
        Case{"Field4JustAbove", L"Vellumar,Kurz,Vellumar.exe,2147483648", L"Feld 4"},
        // Halfway rounds to the even neighbour, which lies outside.
        Case{"Field4RoundsOutside", L"Vellumar,Kurz,Vellumar.exe,2147483647.5", L"Feld 4"},
        Case{"Field4Negative", L"Vellumar,Kurz,Vellumar.exe,-2147483649", L"Feld 4"},
        Case{"Field6", L"Vellumar,Kurz,Vellumar.exe,1,,99999999999", L"Feld 6"},
        Case{"Silent", L"-s Vellumar,Kurz,Vellumar.exe,99999999999", L"Feld 4"},
        // The numbers are read before the name is checked: one message, the overflow.
        Case{"BeforeTheNameCheck", L"Velu mar,Kurz,Vellumar.exe,99999999999", L"Feld 4"}),
    Label);

// --- A run that goes through --------------------------------------------------------------

// The counterpart of the refusals above: the same kind of command line, accepted, does reach
// the registry, so "nothing changed" there means something.
TEST_F(BrannickTest, SilentInstallAtTheRangeLimitWritesTheAddOn) {
  const RunResult run = RunQuillet(L"-s Vellumar,Videoetiketten drucken,Vellumar.exe,-2147483648");

  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_TRUE(run.messageBoxes.empty()) << Describe(run);
  EXPECT_EQ(run.exitCode, 0u) << Describe(run);
  EXPECT_TRUE(NoStatusWindowShown(run));
  EXPECT_EQ(KeyClass(kVellumarKey), L"Anwendungsdaten");
  EXPECT_EQ(ReadText(kVellumarKey, L"AddOnName"), L"Vellumar");
  EXPECT_EQ(ReadDword(kVellumarKey, L"EinbindungsModus"), 0x80000000u);
  EXPECT_EQ(ReadDword(kVellumarKey, L"ParameterZusatz"), 0u);
  // A bare file name is completed with the directory quillet.exe ran from.
  EXPECT_EQ(ReadText(kVellumarKey, L"ExeDateiname"), run.ownDirectory + L"Vellumar.exe");
  EXPECT_EQ(ReadText(kHostKey, kAddOnList), L"Vellumar");
}

// Only a bare file name is completed; a folder the ANSI code page cannot spell is stored in its
// short form, which the host can start.
TEST_F(BrannickTest, OnlyABareProgramNameIsCompletedAndStoredAsTheHostCanSpellIt) {
  const std::wstring root = L"C:\\Quillet e2e";
  struct Row {
    std::wstring directory;
    const wchar_t* field;
    const wchar_t* stored;  // null: the short form of the directory, then "\\Vellumar.exe"
  };
  const Row rows[] = {
      {root + L"\\mit Leerzeichen", L"Vellumar.exe",
       L"C:\\Quillet e2e\\mit Leerzeichen\\Vellumar.exe"},
      // Forward slashes name a folder: stored as given.
      {root + L"\\mit Leerzeichen", L"tools/Vellumar.exe", L"tools/Vellumar.exe"},
      {root + L"\\\x03A9mega Zus\u00e4tze", L"Vellumar.exe", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Utf8(row.directory) + " " + Utf8(row.field));
    RunOptions options;
    options.directory = row.directory + L"\\";
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryW(row.directory.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    const RunResult run = RunQuillet(L"-s Vellumar,Kurz," + std::wstring(row.field), {}, options);

    ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
    EXPECT_EQ(run.exitCode, 0u) << Describe(run);
    const std::optional<std::wstring> stored = ReadText(kVellumarKey, L"ExeDateiname");
    ASSERT_TRUE(stored.has_value());
    if (row.stored) {
      EXPECT_EQ(*stored, row.stored);
    } else {
      // Plain ASCII, no '?', and the same folder as the long name says.
      EXPECT_EQ(stored->find_first_not_of(L" !#$%&'()+,-.0123456789:;=@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          L"[\\]^_`abcdefghijklmnopqrstuvwxyz{}~"),
                std::wstring::npos)
          << Utf8(*stored);
      const std::size_t slash = stored->rfind(L'\\');
      ASSERT_NE(slash, std::wstring::npos);
      EXPECT_EQ(stored->substr(slash), L"\\Vellumar.exe");
      wchar_t longPath[MAX_PATH] = {};
      ASSERT_NE(GetLongPathNameW(stored->substr(0, slash).c_str(), longPath, MAX_PATH), 0u);
      EXPECT_EQ(CompareStringOrdinal(longPath, -1, row.directory.c_str(), -1, TRUE), CSTR_EQUAL)
          << Utf8(longPath);
    }
    RemoveDirectoryW(row.directory.c_str());
  }
  RemoveDirectoryW(root.c_str());
}

}  // namespace
}  // namespace e2e

}  // namespace quillet
