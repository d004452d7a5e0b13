// quillet.exe under Wine installing and removing add-ons, read back with the real advapi32 the
// way the host reads them: the add-on key and its class, the nine values' types and ANSI bytes,
// the 32-bit registry view, the add-on list, and eight installs at once.
#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "testing/StoredBytes.h"
#include "tests/e2e/E2eTest.h"
#include "win32/UniqueHandle.h"

namespace quillet {

namespace e2e {
namespace {

using Bytes = std::vector<unsigned char>;

const std::wstring kVellumarKey = std::wstring(kHostKey) + L"\\AddOn_Vellumar";

const wchar_t* const kNineValues[] = {
    L"AddOnName",        L"EinbindungsModus",        L"ExeDateiname",
    L"ParameterFest",    L"ParameterZusatz",         L"KurzBeschreibung",
    L"LangBeschreibung", L"SpezialButtonGrafikName", L"SpezialButtonToolTiptext"};

using stored::Sz;

std::string Shown(const std::optional<RawValue>& raw) {
  return raw ? stored::Shown(raw->type, raw->bytes) : "<missing>";
}

void ExpectValue(const std::wstring& key, const wchar_t* name, DWORD type, const Bytes& bytes) {
  const std::optional<RawValue> raw = ReadRawValue(key, name);
  const bool same = raw && raw->type == type && raw->bytes == bytes;
  EXPECT_TRUE(same) << Utf8(name) << " is " << Shown(raw) << ", expected "
                    << stored::Shown(type, bytes);
}

// The names in the list, in order; the list's text split at every comma.
std::vector<std::wstring> ListNames() {
  std::vector<std::wstring> names;
  const std::optional<std::wstring> list = ReadText(kHostKey, kAddOnList);
  if (!list) return names;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list->find(L',', start);
    names.push_back(list->substr(start, comma - start));
    if (comma == std::wstring::npos) return names;
    start = comma + 1;
  }
}

// A key opened in the 64-bit view of HKLM, which a 32-bit program does not see by default.
bool KeyExists64(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) !=
      ERROR_SUCCESS) {
    return false;
  }
  unique_hkey owner(handle);
  return true;
}

// The value names of a key in the 32-bit view.
std::vector<std::wstring> ValueNames(const std::wstring& key) {
  std::vector<std::wstring> names;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) !=
      ERROR_SUCCESS) {
    return names;
  }
  unique_hkey owner(handle);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumValueW(owner.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return names;
    }
    names.emplace_back(name, length);
  }
}

class AddOnE2eTest : public BrannickTest {
 protected:
  // A silent run: no window and no pause, so only the registry work is left to see.
  static RunResult Silent(const std::wstring& fields) { return RunQuillet(L"-s " + fields); }
};

TEST_F(AddOnE2eTest, NineFieldInstallWritesTheKeyWithItsClassAndTheNineValues) {
  const RunResult run = Silent(
      L"\"Vellumar\",\"Videoetiketten drucken\",\"C:\\Programme\\Vellumar.exe\",-7,"
      L"\"/druck /x\",-1,\"Etiketten für Hüllen\",\"Etikett\",\"Drucken Sie Ihre Etiketten\"");
  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_EQ(run.exitCode, 0u) << Describe(run);
  EXPECT_TRUE(run.messageBoxes.empty()) << Describe(run);

  EXPECT_EQ(KeyClass(kVellumarKey), L"Anwendungsdaten");
  // Exactly the nine; the order they were written in is not visible here (Wine enumerates
  // values sorted by name), the portable tests check it.
  std::vector<std::wstring> expected(std::begin(kNineValues), std::end(kNineValues));
  std::vector<std::wstring> present = ValueNames(kVellumarKey);
  std::sort(expected.begin(), expected.end());
  std::sort(present.begin(), present.end());
  EXPECT_EQ(present, expected);
  ExpectValue(kVellumarKey, L"AddOnName", REG_SZ, Sz("Vellumar"));
  ExpectValue(kVellumarKey, L"EinbindungsModus", REG_DWORD, {0xF9, 0xFF, 0xFF, 0xFF});
  ExpectValue(kVellumarKey, L"ExeDateiname", REG_SZ, Sz("C:\\Programme\\Vellumar.exe"));
  ExpectValue(kVellumarKey, L"ParameterFest", REG_SZ, Sz("/druck /x"));
  ExpectValue(kVellumarKey, L"ParameterZusatz", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
  ExpectValue(kVellumarKey, L"KurzBeschreibung", REG_SZ, Sz("Videoetiketten drucken"));
  // Windows-1252: ü is FC.
  ExpectValue(kVellumarKey, L"LangBeschreibung", REG_SZ, Sz("Etiketten f\xFCr H\xFCllen"));
  ExpectValue(kVellumarKey, L"SpezialButtonGrafikName", REG_SZ, Sz("Etikett"));
  ExpectValue(kVellumarKey, L"SpezialButtonToolTiptext", REG_SZ, Sz("Drucken Sie Ihre Etiketten"));
  ExpectValue(kHostKey, kAddOnList, REG_SZ, Sz("Vellumar"));
}

TEST_F(AddOnE2eTest, ThreeFieldInstallWritesTheDefaults) {
  // The usage example, as an installer passes it, with the status window.
  const RunResult run = RunQuillet(L"\"Vellumar\",\"Videoetiketten drucken\",\"C:\\Vellumar.exe\"");
  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_EQ(run.exitCode, 0u) << Describe(run);

  EXPECT_EQ(KeyClass(kVellumarKey), L"Anwendungsdaten");
  ExpectValue(kVellumarKey, L"AddOnName", REG_SZ, Sz("Vellumar"));
  ExpectValue(kVellumarKey, L"EinbindungsModus", REG_DWORD, {0x01, 0x00, 0x00, 0x00});
  ExpectValue(kVellumarKey, L"ExeDateiname", REG_SZ, Sz("C:\\Vellumar.exe"));
  ExpectValue(kVellumarKey, L"ParameterFest", REG_SZ, {0x00});
  ExpectValue(kVellumarKey, L"ParameterZusatz", REG_DWORD, {0x02, 0x00, 0x00, 0x00});
  ExpectValue(kVellumarKey, L"KurzBeschreibung", REG_SZ, Sz("Videoetiketten drucken"));
  ExpectValue(kVellumarKey, L"LangBeschreibung", REG_SZ, {0x00});
  ExpectValue(kVellumarKey, L"SpezialButtonGrafikName", REG_SZ, Sz("AddOn"));
  ExpectValue(kVellumarKey, L"SpezialButtonToolTiptext", REG_SZ, Sz("Videoetiketten drucken"));
  ExpectValue(kHostKey, kAddOnList, REG_SZ, Sz("Vellumar"));
  EXPECT_EQ(SubKeys(kHostKey), std::vector<std::wstring>{L"AddOn_Vellumar"});
}

TEST_F(AddOnE2eTest, EverythingLandsInThe32BitView) {
  ASSERT_FALSE(KeyExists64(L"Software\\Orvo")) << "the 64-bit view held Orvo before the run";

  const RunResult run = Silent(L"\"Vellumar\",\"Videoetiketten drucken\",\"C:\\Vellumar.exe\"");
  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  ASSERT_EQ(run.exitCode, 0u) << Describe(run);

  // Seen from the 64-bit side, the host's 32-bit keys live under Wow6432Node.
  EXPECT_TRUE(KeyExists64(L"Software\\Wow6432Node\\Orvo\\Brannick\\Brannick\\AddOn_Vellumar"));
  EXPECT_FALSE(KeyExists64(L"Software\\Orvo"));
}

TEST_F(AddOnE2eTest, RepeatedInstallRewritesTheValuesAndKeepsOneListEntry) {
  ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L"Alpha"));
  const RunResult first = Silent(L"\"Vellumar\",\"Erste\",\"C:\\Vellumar.exe\"");
  ASSERT_EQ(first.exitCode, 0u) << Describe(first);
  // Another letter case: the same add-on to the host.
  const RunResult second = Silent(L"\"VELLUMAR\",\"Zweite\",\"C:\\Vellumar.exe\"");
  ASSERT_TRUE(second.RanAsScripted()) << Describe(second);
  EXPECT_EQ(second.exitCode, 0u) << Describe(second);

  EXPECT_EQ(SubKeys(kHostKey), std::vector<std::wstring>{L"AddOn_Vellumar"});
  ExpectValue(kVellumarKey, L"AddOnName", REG_SZ, Sz("VELLUMAR"));
  ExpectValue(kVellumarKey, L"KurzBeschreibung", REG_SZ, Sz("Zweite"));
  ExpectValue(kHostKey, kAddOnList, REG_SZ, Sz("Alpha,Vellumar"));
}

// A 64-bit program that creates a path in the 32-bit view goes through Wine's advapi32 one key
// at a time, and Wine's RegCreateKeyEx replaces the class of a key that already exists (Windows
// keeps it; the in-memory registry tests hold that): the host's existing keys then take the
// add-on's class. Under a 64-bit quillet.exe, the classes of those keys are left out of the
// comparison.
std::string SnapshotBeyondWineClassQuirk(const std::wstring& key) {
  std::string snapshot = Snapshot(key);
  DWORD type = 0;
  if (!GetBinaryTypeW(QuilletExePath().c_str(), &type) || type != SCS_64BIT_BINARY) {
    return snapshot;
  }
  std::string kept;
  for (std::size_t start = 0; start < snapshot.size();) {
    const std::size_t newline = snapshot.find('\n', start);
    const std::size_t end = newline == std::string::npos ? snapshot.size() : newline + 1;
    const std::string line = snapshot.substr(start, end - start);
    const bool hostKeyClass =
        line.find("] class ") != std::string::npos && line.find("\\AddOn_") == std::string::npos;
    if (!hostKeyClass) kept += line;
    start = end;
  }
  return kept;
}

TEST_F(AddOnE2eTest, InstallThenRemoveLeavesEverythingAsItWas) {
  ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L"Alpha,Beta"));
  ASSERT_TRUE(WriteText(std::wstring(kHostKey) + L"\\AddOn_Alpha", L"AddOnName", L"Alpha"));
  const std::string before = SnapshotBeyondWineClassQuirk(kBrannickKey);

  const RunResult install = Silent(L"\"Vellumar\",\"Etiketten\",\"C:\\Vellumar.exe\"");
  ASSERT_EQ(install.exitCode, 0u) << Describe(install);
  ExpectValue(kHostKey, kAddOnList, REG_SZ, Sz("Alpha,Beta,Vellumar"));

  const RunResult remove = Silent(L"vellumar");
  ASSERT_TRUE(remove.RanAsScripted()) << Describe(remove);
  EXPECT_EQ(remove.exitCode, 0u) << Describe(remove);
  EXPECT_FALSE(KeyExists(kVellumarKey));
  EXPECT_EQ(SnapshotBeyondWineClassQuirk(kBrannickKey), before);
}

TEST_F(AddOnE2eTest, RemoveOfAnUnlistedNameDeletesItsKeyAndLeavesTheList) {
  ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L"Alpha, Vellumar"));
  ASSERT_TRUE(WriteText(kVellumarKey, L"AddOnName", L"Vellumar"));

  const RunResult run = Silent(L"Vellumar");
  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_EQ(run.exitCode, 0u) << Describe(run);

  EXPECT_FALSE(KeyExists(kVellumarKey));
  // The blank hides the entry from the membership test.
  ExpectValue(kHostKey, kAddOnList, REG_SZ, Sz("Alpha, Vellumar"));
}

TEST_F(AddOnE2eTest, KeyThatCannotBeDeletedEndsWithStatusOne) {
  ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L"Alpha,Vellumar,Beta"));
  // RegDeleteKey refuses a key that has a sub-key.
  ASSERT_TRUE(WriteText(kVellumarKey + L"\\Daten", L"Wert", L"x"));

  const RunResult run = Silent(L"Vellumar");
  ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
  EXPECT_EQ(run.exitCode, 1u) << Describe(run);
  EXPECT_TRUE(run.messageBoxes.empty()) << Describe(run);

  EXPECT_TRUE(KeyExists(kVellumarKey));
  ExpectValue(kHostKey, kAddOnList, REG_SZ, Sz("Alpha,Beta"));
}

// --- A host key that a user controls ---------------------------------------------------------

// Where the link points: a key of the 64-bit view, outside everything of the host.
constexpr wchar_t kVictimKey[] = L"Software\\Victim";
constexpr wchar_t kVictimTarget[] = L"\\Registry\\Machine\\Software\\Victim";

// A key of the 64-bit view opened for `access`; empty when it does not open.
unique_hkey OpenKey64(const std::wstring& key, REGSAM access) {
  unique_hkey handle;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, access | KEY_WOW64_64KEY, handle.put()) !=
      ERROR_SUCCESS) {
    handle.reset();
  }
  return handle;
}

// The victim's value names and its value "Vorher", as one text; "<missing>" without the key.
std::wstring VictimContents() {
  const unique_hkey key = OpenKey64(kVictimKey, KEY_READ);
  if (!key) return L"<missing>";
  std::wstring contents;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    contents += std::wstring(name, length) + L";";
  }
  DWORD subKeys = 0;
  RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr);
  return contents + L"sub-keys:" + std::to_wstring(subKeys);
}

// A registry link `AddOn_<name>` below the host's key pointing at the victim, made as a user with
// full control of the host's key can make it; deleted again (the link itself, not its target)
// when the test ends, before anything deletes the host's tree by path.
class AddOnLink {
 public:
  explicit AddOnLink(const std::wstring& name) : key_(AddOnKey(name)) {
    unique_hkey link;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr,
                        REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, link.put(),
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    const std::wstring target = kVictimTarget;
    made_ = RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                           reinterpret_cast<const BYTE*>(target.data()),
                           static_cast<DWORD>(target.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  AddOnLink(const AddOnLink&) = delete;
  AddOnLink& operator=(const AddOnLink&) = delete;
  ~AddOnLink() {
    unique_hkey link;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), REG_OPTION_OPEN_LINK,
                      DELETE | KEY_WOW64_32KEY, link.put()) != ERROR_SUCCESS) {
      return;
    }
    using DeleteKeyFunction = LONG(WINAPI*)(HANDLE);
    const auto deleteKey = reinterpret_cast<DeleteKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    EXPECT_EQ(deleteKey(link.get()), 0) << "the link is left behind";
  }
  bool Made() const { return made_; }

 private:
  std::wstring key_;
  bool made_ = false;
};

// Installing or removing an add-on whose key is a link to another HKLM key must neither create,
// write nor delete anything there: the run fails with status 1.
TEST_F(AddOnE2eTest, AnAddOnKeyThatIsALinkIsRefused) {
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kVictimKey, KEY_WOW64_64KEY, 0);
  ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L"Alpha"));
  AddOnLink link(L"Evil");
  ASSERT_TRUE(link.Made());

  // A target that is not there is not made.
  const RunResult first = Silent(L"\"Evil\",\"x\",\"Evil.exe\"");
  ASSERT_TRUE(first.RanAsScripted()) << Describe(first);
  EXPECT_EQ(first.exitCode, 1u) << Describe(first);
  EXPECT_EQ(VictimContents(), L"<missing>");
  EXPECT_EQ(ReadText(kHostKey, kAddOnList), std::optional<std::wstring>(L"Alpha"));

  unique_hkey victim;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kVictimKey, 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, victim.put(), nullptr),
            ERROR_SUCCESS);
  const std::wstring stored = L"x";
  ASSERT_EQ(RegSetValueExW(victim.get(), L"Vorher", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(stored.c_str()), 2 * sizeof(wchar_t)),
            ERROR_SUCCESS);
  victim.reset();
  // The link works: what the host reads through it is the victim's.
  ASSERT_EQ(ReadText(AddOnKey(L"Evil"), L"Vorher"), std::optional<std::wstring>(L"x"));
  const std::wstring before = VictimContents();
  ASSERT_EQ(before, L"Vorher;sub-keys:0");

  for (const wchar_t* arguments : {L"\"Evil\",\"x\",\"Evil.exe\"", L"Evil"}) {
    const RunResult run = Silent(arguments);
    ASSERT_TRUE(run.RanAsScripted()) << Describe(run);
    EXPECT_EQ(run.exitCode, 1u) << Utf8(arguments) << "\n" << Describe(run);
    EXPECT_EQ(VictimContents(), before) << Utf8(arguments);
    EXPECT_EQ(ReadText(kHostKey, kAddOnList), std::optional<std::wstring>(L"Alpha"))
        << Utf8(arguments);
  }
  EXPECT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kVictimKey, KEY_WOW64_64KEY, 0), ERROR_SUCCESS);
}

// Starts one silent install per name, all suspended, lets them go at the same moment and waits
// for all of them; each must end with exit status 0.
::testing::AssertionResult InstallTogether(const std::vector<std::wstring>& names) {
  const std::wstring program = QuilletExePath();
  std::vector<unique_kernel_handle> processes;
  std::vector<unique_kernel_handle> threads;
  const auto stopAll = [&processes] {
    for (const unique_kernel_handle& process : processes) TerminateProcess(process.get(), 259);
  };
  for (const std::wstring& name : names) {
    std::wstring commandLine =
        L"\"" + program + L"\" -s \"" + name + L"\",\"Gleichzeitig\",\"C:\\" + name + L".exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
      const DWORD error = GetLastError();
      stopAll();
      return ::testing::AssertionFailure() << "CreateProcessW failed: " << error;
    }
    processes.emplace_back(info.hProcess);
    threads.emplace_back(info.hThread);
  }
  for (const unique_kernel_handle& thread : threads) ResumeThread(thread.get());

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  for (std::size_t i = 0; i < processes.size(); ++i) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const DWORD wait = WaitForSingleObject(
        processes[i].get(), static_cast<DWORD>(std::max<long long>(0, left.count())));
    if (wait != WAIT_OBJECT_0) {
      stopAll();
      return ::testing::AssertionFailure() << Utf8(names[i]) << " did not end within 90 s";
    }
    DWORD status = 259;
    GetExitCodeProcess(processes[i].get(), &status);
    if (status != 0) {
      return ::testing::AssertionFailure() << Utf8(names[i]) << " ended with status " << status;
    }
  }
  return ::testing::AssertionSuccess();
}

// Each run reads the list, adds its name and writes it back; without the machine-wide lock
// around that, runs that overlap lose each other's names. One round of eight caught a build
// without the lock in four of five tries, so the test runs three.
TEST_F(AddOnE2eTest, EightConcurrentInstallsKeepEveryName) {
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_TRUE(DeleteTree(kBrannickKey));
    ASSERT_TRUE(WriteText(kHostKey, kAddOnList, L""));
    std::vector<std::wstring> names;
    for (int i = 1; i <= 8; ++i) names.push_back(L"Parallel" + std::to_wstring(i));

    ASSERT_TRUE(InstallTogether(names));

    std::vector<std::wstring> listed = ListNames();
    std::sort(listed.begin(), listed.end());
    ASSERT_EQ(listed, names) << "AddOns is \"" << Utf8(ReadText(kHostKey, kAddOnList).value_or(L""))
                             << "\"";
    for (const std::wstring& name : names) {
      EXPECT_EQ(ReadText(std::wstring(kHostKey) + L"\\AddOn_" + name, L"AddOnName"), name);
    }
  }
}

}  // namespace
}  // namespace e2e

}  // namespace quillet
