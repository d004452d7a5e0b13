// quillet.exe on a window station that no one can see, as a deferred, not impersonated MSI
// custom action runs it (SYSTEM, session 0): it shows no box, since no one could click it, and
// ends as the box's path ends after the safest click.
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"
#include "tests/e2e/HttpRecorder.h"
#include "win32/UniqueHandle.h"

namespace quillet {

namespace e2e {
namespace {

constexpr wchar_t kStation[] = L"QuilletUnsichtbar";
constexpr wchar_t kDesktop[] = L"QuilletUnsichtbar\\Default";
// A box would wait for ever; a run that takes this long has shown one.
constexpr std::chrono::milliseconds kBoxWouldHang{20000};

using unique_hwinsta = unique_handle<HWINSTA, &::CloseWindowStation>;
using unique_hdesk = unique_handle<HDESK, &::CloseDesktop>;

struct HiddenCase {
  const char* label;
  std::wstring hostVersion;  // empty: none recorded
  std::wstring argumentText;
  DWORD exitCode;
  bool installed;  // the add-on's key exists afterwards
};

void PrintTo(const HiddenCase& c, std::ostream* out) { *out << c.label; }

class HiddenStationTest : public BrannickTest, public ::testing::WithParamInterface<HiddenCase> {
 protected:
  void SetUp() override {
    BrannickTest::SetUp();
    station_.reset(CreateWindowStationW(kStation, 0, WINSTA_ALL_ACCESS, nullptr));
    ASSERT_TRUE(station_) << "CreateWindowStationW failed: " << GetLastError();
    USEROBJECTFLAGS flags{};
    ASSERT_TRUE(
        GetUserObjectInformationW(station_.get(), UOI_FLAGS, &flags, sizeof flags, nullptr));
    ASSERT_EQ(flags.dwFlags & WSF_VISIBLE, 0u) << "the new window station counts as visible";
    // A desktop is made on the process's own window station; switch there for the call only.
    const HWINSTA own = GetProcessWindowStation();
    ASSERT_TRUE(SetProcessWindowStation(station_.get()));
    desktop_.reset(CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    const DWORD error = GetLastError();
    ASSERT_TRUE(SetProcessWindowStation(own));
    ASSERT_TRUE(desktop_) << "CreateDesktopW failed: " << error;
  }

  unique_hwinsta station_;
  unique_hdesk desktop_;
};

TEST_P(HiddenStationTest, ShowsNoBoxAndEndsAsAfterTheSafestClick) {
  const HiddenCase& c = GetParam();
  HttpRecorder recorder;
  ASSERT_TRUE(recorder.registered());
  if (!c.hostVersion.empty()) {
    ASSERT_TRUE(WriteText(kVersionKey, kVersionValue, c.hostVersion));
  }
  RunOptions options;
  options.desktop = kDesktop;
  options.timeout = kBoxWouldHang;

  RunResult run = RunQuillet(c.argumentText, {}, options);
  // Wine now and then refuses the first process on a window station made a moment before
  // (CreateProcessW: ERROR_INTERNAL_ERROR, 1359), where Windows starts it: one more start then.
  if (!run.started && run.error.find(L"(error 1359)") != std::wstring::npos) {
    run = RunQuillet(c.argumentText, {}, options);
  }

  ASSERT_TRUE(run.started) << Describe(run);
  EXPECT_FALSE(run.timedOut) << "a box is waiting for a click\n" << Describe(run);
  EXPECT_EQ(run.exitCode, c.exitCode) << Describe(run);
  EXPECT_EQ(KeyExists(std::wstring(kHostKey) + L"\\AddOn_Vellumar"), c.installed);
  const auto opened = recorder.Opened();
  ASSERT_TRUE(opened.has_value()) << "the http recorder did not finish";
  EXPECT_TRUE(opened->empty()) << Utf8(opened->front().address);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, HiddenStationTest,
    ::testing::Values(HiddenCase{"Usage", L"", L"-s", 2, false},
                      HiddenCase{"RejectedName", L"", L"-s Velu.mar,b,c.exe", 2, false},
                      HiddenCase{"Overflow", L"", L"-s Vellumar,b,c.exe,99999999999", 2, false},
                      // Nothing is opened: the question counts as answered No.
                      HiddenCase{"OutdatedHost", L"410", L"-s Vellumar,b,c.exe", 3, false},
                      // The registry layer's notice is skipped and the run goes on as after its OK.
                      HiddenCase{"InvalidDateNotice", L"typdate:kein Datum", L"-s Vellumar,b,c.exe",
                                 0, true}),
    [](const ::testing::TestParamInfo<HiddenCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace e2e

}  // namespace quillet
