// quillet.exe under Wine beside an outdated host: the question, the download offer handed to the
// shell, and nothing else done.
#include <ostream>
#include <string>

#include "tests/e2e/E2eTest.h"
#include "tests/e2e/HttpRecorder.h"

namespace quillet {

namespace e2e {
namespace {

const std::wstring kQuestion =
    L"Der Kestrelview (4.3 oder höher) ist nicht installiert, oder wurde noch nie gestartet.\r\n"
    L"Möchten Sie den Kestrelview jetzt herunterladen ?";
const std::wstring kDownloadAddress =
    L"http://www.orvo.de/special.html?Pfad=html/media/static/kestrelview/kv.html";

// A silent install that goes through whenever the gate lets it.
const std::wstring kSilentInstall = L"-s Vellumar,Videoetiketten drucken,Vellumar.exe";
const std::wstring kVellumarKey = std::wstring(kHostKey) + L"\\AddOn_Vellumar";

// What the host left as its version.
struct HostVersion {
  enum Kind { NoKey, NoValue, Text, Number } kind;
  std::wstring text;
  DWORD number = 0;
};

void Record(const HostVersion& version) {
  switch (version.kind) {
    case HostVersion::NoKey:
      break;
    case HostVersion::NoValue:
      ASSERT_TRUE(WriteText(kVersionKey, L"Sprache", L"de"));
      break;
    case HostVersion::Text:
      ASSERT_TRUE(WriteText(kVersionKey, kVersionValue, version.text));
      break;
    case HostVersion::Number:
      ASSERT_TRUE(WriteDword(kVersionKey, kVersionValue, version.number));
      break;
  }
}

// An add-on list the gate must leave alone.
void SeedAddOnList() { ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L"Alt,Brannick-Tool")); }

class GateTest : public BrannickTest {
 protected:
  void SetUp() override {
    BrannickTest::SetUp();
    ASSERT_TRUE(recorder_.registered()) << "cannot register the http recorder";
  }

  // The run showed the question once, as asked, and ended with the gate's status, having shown
  // and written nothing else.
  void ExpectEndedByTheQuestion(const RunResult& run, const std::string& before) {
    ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
    ASSERT_EQ(run.messageBoxes.size(), 1u) << Describe(run);
    const MessageBoxSeen& box = run.messageBoxes[0];
    EXPECT_EQ(box.caption, L"");
    EXPECT_EQ(box.text, kQuestion);
    EXPECT_TRUE(box.hasYes && box.hasNo && !box.hasOk && !box.hasCancel) << Describe(run);
    EXPECT_EQ(box.icon, Icon::Question);
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_TRUE(NoStatusWindowShown(run));
    EXPECT_EQ(Snapshot(kBrannickKey), before);
  }

  HttpRecorder recorder_;
};

// --- Outdated host, answered No ----------------------------------------------------------

struct OutdatedCase {
  const char* label;
  HostVersion version;
  std::wstring argumentText;
};

struct PassingCase {
  const char* label;
  HostVersion version;
};

class OutdatedHostTest : public GateTest, public ::testing::WithParamInterface<OutdatedCase> {};

TEST_P(OutdatedHostTest, NoEndsTheRunWithNothingOpenedOrWritten) {
  Record(GetParam().version);
  SeedAddOnList();
  const std::string before = Snapshot(kBrannickKey);

  const RunResult run = RunQuillet(GetParam().argumentText, {Button::No});

  ExpectEndedByTheQuestion(run, before);
  const auto opened = recorder_.Opened();
  ASSERT_TRUE(opened.has_value()) << "the http recorder did not finish";
  EXPECT_TRUE(opened->empty()) << Utf8(opened->front().address);
}

// Name the cases in test listings instead of dumping their bytes.
void PrintTo(const OutdatedCase& c, std::ostream* out) { *out << c.label; }
void PrintTo(const PassingCase& c, std::ostream* out) { *out << c.label; }

std::string OutdatedLabel(const ::testing::TestParamInfo<OutdatedCase>& info) {
  return info.param.label;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, OutdatedHostTest,
    ::testing::Values(OutdatedCase{"Text410", {HostVersion::Text, L"410"}, kSilentInstall},
                      // A number the host stored as REG_DWORD counts by its decimal digits.
                      OutdatedCase{"Number410", {HostVersion::Number, L"", 410}, kSilentInstall},
                      OutdatedCase{"Text3", {HostVersion::Text, L"3"}, kSilentInstall},
                      OutdatedCase{"Text399", {HostVersion::Text, L"399"}, kSilentInstall},
                      // Its semicolon-framed form is a piece of the list of outdated versions.
                      OutdatedCase{
                          "Text400And410", {HostVersion::Text, L"400;410"}, kSilentInstall}),
    OutdatedLabel);

INSTANTIATE_TEST_SUITE_P(CommandLines, OutdatedHostTest,
                         ::testing::Values(
                             // The question takes the place of the usage message.
                             OutdatedCase{"Empty", {HostVersion::Text, L"410"}, L""},
                             OutdatedCase{"SilentAlone", {HostVersion::Text, L"410"}, L"-s"},
                             OutdatedCase{
                                 "Install",
                                 {HostVersion::Text, L"410"},
                                 L"\"Vellumar\",\"Videoetiketten drucken\",\"C:\\Vellumar.exe\""},
                             OutdatedCase{"Remove", {HostVersion::Number, L"", 420}, L"Alt"},
                             // The gate comes before the name check: no invalid-character message.
                             OutdatedCase{"InvalidName", {HostVersion::Text, L"400"}, L"Velu mar"}),
                         OutdatedLabel);

// --- Outdated host, answered Yes ---------------------------------------------------------

TEST_F(GateTest, YesHandsTheDownloadAddressToTheShellAndEnds) {
  Record({HostVersion::Text, L"410"});
  SeedAddOnList();
  const std::string before = Snapshot(kBrannickKey);

  const RunResult run = RunQuillet(kSilentInstall, {Button::Yes});

  ExpectEndedByTheQuestion(run, before);
  const auto opened = recorder_.Opened();
  ASSERT_TRUE(opened.has_value()) << "the http recorder did not finish";
  ASSERT_EQ(opened->size(), 1u);
  EXPECT_EQ(opened->front().address, kDownloadAddress);
  // Under Wine every process runs elevated: the user's desktop shell opens the page, so the
  // browser does not inherit the installer's rights from quillet.exe.
  EXPECT_EQ(lstrcmpiW(opened->front().startedBy.c_str(), L"explorer.exe"), 0)
      << Utf8(opened->front().startedBy);
  EXPECT_EQ(ReadText(kHostKey, kAddOnList), L"Alt,Brannick-Tool");
}

// The shell starts the browser in the root of the drive quillet.exe runs from.
TEST_F(GateTest, TheBrowserStartsInTheRootOfTheOwnDrive) {
  Record({HostVersion::Number, L"", 410});
  RunOptions options;
  options.directory =
      WindowsPathOf("/tmp/quillet-e2e-gate-" + std::to_string(GetCurrentProcessId()));

  const RunResult run = RunQuillet(L"", {Button::Yes}, options);

  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_EQ(run.exitCode, 3u);
  const auto opened = recorder_.Opened();
  ASSERT_TRUE(opened.has_value()) << "the http recorder did not finish";
  ASSERT_EQ(opened->size(), 1u);
  EXPECT_EQ(opened->front().address, kDownloadAddress);
  EXPECT_EQ(opened->front().workingDirectory, L"Z:\\");
}

// --- Host not outdated -------------------------------------------------------------------

class CurrentHostTest : public GateTest, public ::testing::WithParamInterface<PassingCase> {};

TEST_P(CurrentHostTest, TheGatePassesSilently) {
  Record(GetParam().version);

  const RunResult run = RunQuillet(kSilentInstall);

  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_TRUE(run.messageBoxes.empty()) << Describe(run);
  EXPECT_EQ(run.exitCode, 0u) << Describe(run);
  EXPECT_EQ(ReadText(kVellumarKey, L"AddOnName"), L"Vellumar");
  EXPECT_EQ(ReadText(kHostKey, kAddOnList), L"Vellumar");
  const auto opened = recorder_.Opened();
  ASSERT_TRUE(opened.has_value()) << "the http recorder did not finish";
  EXPECT_TRUE(opened->empty());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CurrentHostTest,
    ::testing::Values(PassingCase{"NoKey", {HostVersion::NoKey, L""}},
                      PassingCase{"NoValue", {HostVersion::NoValue, L""}},
                      PassingCase{"EmptyText", {HostVersion::Text, L""}},
                      PassingCase{"Text430", {HostVersion::Text, L"430"}},
                      PassingCase{"Text4Point3", {HostVersion::Text, L"4.3"}},
                      // Not trimmed: with the blank it is no longer one of the listed versions.
                      PassingCase{"Text400LeadingBlank", {HostVersion::Text, L" 400"}},
                      PassingCase{"Number500", {HostVersion::Number, L"", 500}}),
    [](const ::testing::TestParamInfo<PassingCase>& info) {
      return std::string(info.param.label);
    });

}  // namespace
}  // namespace e2e

}  // namespace quillet
