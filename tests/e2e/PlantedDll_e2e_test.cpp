// quillet.exe started from a folder in which someone planted DLLs under the names of system DLLs,
// with Wine told to prefer such a copy to its own (native first, as Windows takes a DLL from the
// program's folder before the system's): on the paths that show a box or a window or call the
// shell, none of them may be loaded.
//
// The preference is set for quillet.exe in Wine's AppDefaults key, not in WINEDLLOVERRIDES: Wine
// 8 reads that variable only from the Unix environment a wine command starts with, so a variable
// that a Windows program sets for its child never reaches the child's loader (measured).
#include <cstdlib>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"
#include "tests/e2e/HttpRecorder.h"
#include "win32/UniqueHandle.h"

#ifndef QUILLET_E2E_PLANTED_DIR
#error "CMake passes the folder of the probe DLLs as QUILLET_E2E_PLANTED_DIR"
#endif

namespace quillet {

namespace e2e {
namespace {

constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\quillet.exe";

// DLLs that Wine's own DLLs bind through their delay-load tables, which Wine resolves without the
// default DLL directories the program set, so Wine takes a planted copy where Windows would not
// (measured, Wine 8.0): imm32 binds ole32 on every path that makes a window, and comctl32 binds
// msimg32 when it draws a box.
const std::vector<std::wstring> kWineExceptions = {L"ole32.dll", L"msimg32.dll"};

struct PlantedCase {
  const char* label;
  std::wstring hostVersion;  // empty: none recorded
  std::wstring argumentText;
  std::vector<Button> answers;
  DWORD exitCode;
};

void PrintTo(const PlantedCase& c, std::ostream* out) { *out << c.label; }

// The probe DLLs: the folder CMake builds them into, or the one QUILLET_E2E_PLANTED_DIR names.
std::wstring ProbeFolder() {
  const char* other = std::getenv("QUILLET_E2E_PLANTED_DIR");
  return WindowsPathOf(other && *other ? other : QUILLET_E2E_PLANTED_DIR) + L"\\";
}

std::vector<std::wstring> ProbeNames() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((ProbeFolder() + L"*.dll").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  const unique_find owner(search);
  do names.push_back(found.cFileName);
  while (FindNextFileW(search, &found));
  return names;
}

bool IsWineException(const std::wstring& dll) {
  for (const std::wstring& name : kWineExceptions) {
    if (lstrcmpiW(name.c_str(), dll.c_str()) == 0) return true;
  }
  return false;
}

std::wstring MarkerOf(const std::wstring& folder, const std::wstring& dll) {
  return folder + dll + L".loaded";
}

// The programs that loaded `dll` from `folder`, one per line; empty when none did.
std::wstring LoadedBy(const std::wstring& folder, const std::wstring& dll) {
  const HANDLE opened =
      CreateFileW(MarkerOf(folder, dll).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return {};
  const unique_kernel_handle file(opened);
  std::wstring text(4096, L'\0');
  DWORD read = 0;
  ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read,
           nullptr);
  text.resize(read / sizeof(wchar_t));
  return text.empty() ? L"?" : text;
}

class PlantedDllTest : public BrannickTest, public ::testing::WithParamInterface<PlantedCase> {
 protected:
  void SetUp() override {
    BrannickTest::SetUp();
    names_ = ProbeNames();
    ASSERT_FALSE(names_.empty()) << "no probe DLLs in " << Utf8(ProbeFolder());
    folder_ =
        WindowsPathOf("/tmp/quillet-e2e-planted-" + std::to_string(GetCurrentProcessId())) + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    for (const std::wstring& dll : names_) {
      ASSERT_TRUE(CopyFileW((ProbeFolder() + dll).c_str(), (folder_ + dll).c_str(), FALSE))
          << Utf8(dll);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppDefaults);  // left by a run that was cut short
    HKEY handle = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kAppDefaults) + L"\\DllOverrides").c_str(),
                        0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
        ERROR_SUCCESS);
    const unique_hkey overrides(handle);
    const std::wstring nativeFirst = L"native,builtin";
    for (const std::wstring& dll : names_) {
      ASSERT_EQ(RegSetValueExW(handle, dll.substr(0, dll.size() - 4).c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(nativeFirst.c_str()),
                               static_cast<DWORD>((nativeFirst.size() + 1) * sizeof(wchar_t))),
                ERROR_SUCCESS);
    }
  }

  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppDefaults);
    // A process the run started may hold a DLL a moment longer.
    for (int attempt = 0; attempt < 300; ++attempt) {
      for (const std::wstring& dll : names_) {
        DeleteFileW((folder_ + dll).c_str());
        DeleteFileW(MarkerOf(folder_, dll).c_str());
      }
      if (RemoveDirectoryW(folder_.c_str())) break;
      Sleep(10);
    }
    BrannickTest::TearDown();
  }

  std::vector<std::wstring> names_;
  std::wstring folder_;
};

TEST_P(PlantedDllTest, NoneIsLoaded) {
  const PlantedCase& c = GetParam();
  HttpRecorder recorder;  // the outdated host's Yes must not start a real browser
  ASSERT_TRUE(recorder.registered());
  if (!c.hostVersion.empty()) {
    ASSERT_TRUE(WriteText(kVersionKey, kVersionValue, c.hostVersion));
  }
  RunOptions options;
  options.directory = folder_;

  const RunResult run = RunQuillet(c.argumentText, c.answers, options);

  ASSERT_TRUE(recorder.Opened().has_value()) << "the http recorder did not finish";
  for (const std::wstring& dll : names_) {
    const std::wstring loadedBy = LoadedBy(folder_, dll);
    if (IsWineException(dll)) {
      if (!loadedBy.empty()) std::cout << "Wine exception loaded: " << Utf8(dll) << "\n";
    } else {
      EXPECT_EQ(loadedBy, L"") << Utf8(dll) << " was loaded from the program's folder";
    }
  }
  EXPECT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_EQ(run.exitCode, c.exitCode) << Describe(run);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PlantedDllTest,
    ::testing::Values(PlantedCase{"UsageBox", L"", L"", {Button::Ok}, 2},
                      PlantedCase{"StatusWindow",
                                  L"",
                                  L"\"Vellumar\",\"Videoetiketten drucken\",\"C:\\Vellumar.exe\"",
                                  {},
                                  0},
                      PlantedCase{"OutdatedHostYes", L"410", L"-s Vellumar", {Button::Yes}, 3}),
    [](const ::testing::TestParamInfo<PlantedCase>& info) {
      return std::string(info.param.label);
    });

}  // namespace
}  // namespace e2e

}  // namespace quillet
