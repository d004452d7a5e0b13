// The status window as a user sees it: shown with its caption and text during a non-silent
// install or remove, kept on the screen for the pause after the registry work, gone when the
// process ends; never shown by a silent run, the usage message or a rejected name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"

namespace quillet {

namespace {

using e2e::Button;
using e2e::RunQuillet;

constexpr wchar_t kInstallText[] = L"Das Zusatzprogramm wird installiert ..";
constexpr wchar_t kRemoveText[] = L"Das Zusatzprogramm wird entfernt ..";
const std::wstring kAddOnKey = e2e::AddOnKey(L"Statusfenster");
constexpr wchar_t kInstall[] =
    L"\"Statusfenster\",\"Fenster pr\u00FCfen\",\"C:\\Statusfenster.exe\"";
constexpr wchar_t kRemove[] = L"Statusfenster";

// The driver polls every ~10 ms: a span it measures can be short by about two polls.
constexpr long long kPollSlackMs = 40;

bool AddOnKeyExists() { return e2e::KeyExists(kAddOnKey); }

// Every test starts without the host's keys (so no outdated version stops it) and leaves none.
class StatusWindow : public e2e::BrannickTest {
 protected:
  static void ExpectShownThroughThePause(const e2e::RunResult& run, const wchar_t* text) {
    ASSERT_TRUE(run.started) << e2e::Describe(run);
    EXPECT_FALSE(run.timedOut) << e2e::Describe(run);
    EXPECT_EQ(run.exitCode, 0u) << e2e::Describe(run);
    EXPECT_TRUE(run.messageBoxes.empty()) << e2e::Describe(run);
    const e2e::StatusWindowSeen& window = run.statusWindow;
    ASSERT_TRUE(window.everVisible) << e2e::Describe(run);
    EXPECT_EQ(window.caption, L"Installation");
    EXPECT_EQ(window.staticTexts.size(), 2u);  // Picture1 and LabelStatus
    bool labelFound = false;
    for (const auto& staticText : window.staticTexts) labelFound |= staticText == text;
    EXPECT_TRUE(labelFound) << e2e::Describe(run);
    // The layout's 242 x 37 pixels at 96 dpi, wider only where the label would not fit.
    EXPECT_GE(window.clientWidth, 242);
    EXPECT_EQ(window.clientHeight, 37);
    // Shown before the registry work and kept for the 1000 ms pause after it.
    EXPECT_GE(window.lastVisibleMs - window.firstVisibleMs, 1000 - kPollSlackMs)
        << e2e::Describe(run);
    // Gone before the process ended: no visible window outlives the run.
    EXPECT_LE(window.lastVisibleMs, run.wallMs);
    EXPECT_TRUE(run.otherWindows.empty()) << e2e::Describe(run);
  }

  static void ExpectNoWindow(const e2e::RunResult& run) {
    ASSERT_TRUE(run.started) << e2e::Describe(run);
    EXPECT_FALSE(run.timedOut) << e2e::Describe(run);
    // Not even created hidden: a run that shows nothing touches no window.
    EXPECT_FALSE(run.statusWindow.seen) << e2e::Describe(run);
    EXPECT_FALSE(run.statusWindow.everVisible);
    EXPECT_TRUE(run.otherWindows.empty()) << e2e::Describe(run);
  }
};

TEST_F(StatusWindow, InstallShowsItWithTheInstallTextThroughThePause) {
  const e2e::RunResult run = RunQuillet(kInstall);
  ExpectShownThroughThePause(run, kInstallText);
  EXPECT_TRUE(AddOnKeyExists());
}

TEST_F(StatusWindow, RemoveShowsItWithTheRemoveTextAndTheSameCaption) {
  ASSERT_EQ(RunQuillet(std::wstring(L"-s ") + kInstall).exitCode, 0u);
  ASSERT_TRUE(AddOnKeyExists());
  const e2e::RunResult run = RunQuillet(kRemove);
  ExpectShownThroughThePause(run, kRemoveText);
  EXPECT_FALSE(AddOnKeyExists());
}

TEST_F(StatusWindow, SilentRunsShowNoWindowAndTakeNoPause) {
  const e2e::RunResult loud = RunQuillet(kInstall);
  ASSERT_TRUE(loud.statusWindow.everVisible) << e2e::Describe(loud);

  const e2e::RunResult install = RunQuillet(std::wstring(L"-s ") + kInstall);
  ExpectNoWindow(install);
  EXPECT_EQ(install.exitCode, 0u);
  EXPECT_TRUE(AddOnKeyExists());
  // The pause alone is a second; a silent run skips it (and the first window's start-up).
  EXPECT_LT(install.wallMs + 700, loud.wallMs)
      << "silent " << install.wallMs << " ms, not silent " << loud.wallMs << " ms";

  const e2e::RunResult remove = RunQuillet(std::wstring(L"-s ") + kRemove);
  ExpectNoWindow(remove);
  EXPECT_EQ(remove.exitCode, 0u);
  EXPECT_FALSE(AddOnKeyExists());
  EXPECT_LT(remove.wallMs + 700, loud.wallMs);
}

TEST_F(StatusWindow, UsageMessageAndRejectedNameShowNoWindow) {
  const std::wstring refused[] = {L"",
                                  L"-s",
                                  L"-s ",
                                  L"Velu mar",
                                  L"-s Velu mar",
                                  L"\"Velu.mar\",\"x\",\"C:\\x.exe\"",
                                  L"-s \"Velu.mar\",\"x\",\"C:\\x.exe\""};
  for (const std::wstring& argumentText : refused) {
    SCOPED_TRACE(testing::Message() << "argument text: [" << argumentText << "]");
    const e2e::RunResult run = RunQuillet(argumentText, {Button::Ok});
    ExpectNoWindow(run);
    ASSERT_EQ(run.messageBoxes.size(), 1u) << e2e::Describe(run);
    EXPECT_TRUE(run.messageBoxes.front().asScripted) << e2e::Describe(run);
    EXPECT_EQ(run.exitCode, 2u);
    // It ends when the box is closed: no pause after it.
    EXPECT_LT(run.wallMs - run.messageBoxes.front().seenAtMs, 1000) << e2e::Describe(run);
  }
}

}  // namespace

}  // namespace quillet
