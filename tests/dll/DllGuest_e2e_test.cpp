// quillet.dll as the installers load it: every entry called in one process, and the process
// left as it was found; and the C entry's own rule for the add-on's folder.
#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <tlhelp32.h>

#include <cwctype>
#include <set>
#include <string>

#include "tests/dll/centry_driver.h"
#include "tests/e2e/E2eTest.h"

#ifndef QUILLET_DLL_PATH
#error "CMake passes the path of quillet.dll as QUILLET_DLL_PATH"
#endif

namespace quillet {

namespace {

using e2e::AddOnKey;
using e2e::ReadText;

constexpr unsigned kSilent = 1;

// An NSIS stack entry and the installer's flags as the unicode stubs lay them out, written here
// from NSIS's plug-in convention rather than taken from the DLL's headers.
struct NsisEntry {
  NsisEntry* next;
  wchar_t text[1];
};
struct NsisFlags {
  int values[14];  // autoclose, all_user_var, ..., [8] silent, ..., status_update
};
struct NsisExtra {
  NsisFlags* flags;
  void* executeCodeSegment;
  void* validateFilename;
  void* registerPluginCallback;
};
constexpr int kNsisStringSize = 1024;
constexpr int kNsisInstDir = 21;

using NsisFunction = void(__cdecl*)(HWND, int, wchar_t*, NsisEntry**, NsisExtra*);
using MsiAction = UINT(__stdcall*)(unsigned long);

std::wstring DllPath() { return e2e::WindowsPathOf(QUILLET_DLL_PATH); }

class LoadedDll {
 public:
  LoadedDll() : module_(LoadLibraryW(DllPath().c_str())) {}
  ~LoadedDll() { Free(); }
  void Free() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  HMODULE get() const { return module_; }
  template <typename F>
  F Get(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

// Runs the plug-in function as a silent installer would: the stack holds `arguments` (the first
// on top), $INSTDIR is `instDir`. Returns what it left on top of the stack; "" when nothing.
std::wstring CallNsis(NsisFunction run, const std::vector<std::wstring>& arguments,
                      const std::wstring& instDir) {
  std::vector<wchar_t> variables(static_cast<std::size_t>(kNsisStringSize) * 25, L'\0');
  instDir.copy(&variables[static_cast<std::size_t>(kNsisInstDir) * kNsisStringSize],
               instDir.size());
  NsisEntry* top = nullptr;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) {
    auto* entry = static_cast<NsisEntry*>(
        GlobalAlloc(GPTR, sizeof(NsisEntry) + kNsisStringSize * sizeof(wchar_t)));
    it->copy(entry->text, it->size());
    entry->next = top;
    top = entry;
  }
  NsisFlags flags{};
  flags.values[8] = 1;
  NsisExtra extra{&flags, nullptr, nullptr, nullptr};
  run(nullptr, kNsisStringSize, variables.data(), &top, &extra);
  std::wstring result;
  if (top != nullptr) {
    result = top->text;
  }
  while (top != nullptr) {
    NsisEntry* next = top->next;
    GlobalFree(top);
    top = next;
  }
  return result;
}

// What a guest must leave as it found it.
struct ProcessState {
  std::wstring directory;
  UINT errorMode = 0;
  LCID locale = 0;
  HRESULT apartment = S_OK;
  std::set<std::wstring> modules;
  DWORD handles = 0;
};

std::set<std::wstring> LoadedModules() {
  std::set<std::wstring> modules;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
  if (snapshot == INVALID_HANDLE_VALUE) return modules;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
    std::wstring path = entry.szExePath;
    for (wchar_t& c : path) c = static_cast<wchar_t>(std::towlower(c));
    modules.insert(path);
  }
  CloseHandle(snapshot);
  return modules;
}

ProcessState Capture() {
  ProcessState state;
  wchar_t directory[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, directory);
  state.directory = directory;
  state.errorMode = GetErrorMode();
  state.locale = GetThreadLocale();
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  state.apartment = CoGetApartmentType(&type, &qualifier);
  state.modules = LoadedModules();
  GetProcessHandleCount(GetCurrentProcess(), &state.handles);
  return state;
}

std::string Names(const std::set<std::wstring>& modules) {
  std::string names;
  for (const std::wstring& m : modules) names += e2e::Utf8(m) + "\n";
  return names;
}

class QuilletDll : public e2e::BrannickTest {};

TEST_F(QuilletDll, EveryEntryTwiceLeavesTheProcessAsFound) {
  // A state no default would give: a guest that set its own would be seen.
  wchar_t temporary[MAX_PATH + 1] = {};
  ASSERT_NE(GetTempPathW(MAX_PATH + 1, temporary), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(temporary));
  const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const LCID locale = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT)));

  // Wine difference: msi.dll, loaded, asked for a property and freed once, leaves oleaut32,
  // uxtheme and the X11 driver loaded (its delay-loaded imports and user32's driver, which Wine
  // pins). A process that once hosted msi.dll is what an installer is anyway; msi.dll itself
  // must be gone again after each action, and that is checked.
  if (HMODULE msi = LoadLibraryExW(L"msi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    using GetProperty = UINT(WINAPI*)(unsigned long, const wchar_t*, wchar_t*, DWORD*);
    wchar_t value[8] = {};
    DWORD size = 8;
    if (auto get = reinterpret_cast<GetProperty>(
            reinterpret_cast<void*>(GetProcAddress(msi, "MsiGetPropertyW")))) {
      get(0, L"ProductCode", value, &size);
    }
    using CreateRecord = unsigned long(WINAPI*)(UINT);
    using ProcessMessage = int(WINAPI*)(unsigned long, int, unsigned long);
    using CloseHandle = UINT(WINAPI*)(unsigned long);
    auto create = reinterpret_cast<CreateRecord>(
        reinterpret_cast<void*>(GetProcAddress(msi, "MsiCreateRecord")));
    auto process = reinterpret_cast<ProcessMessage>(
        reinterpret_cast<void*>(GetProcAddress(msi, "MsiProcessMessage")));
    auto close = reinterpret_cast<CloseHandle>(
        reinterpret_cast<void*>(GetProcAddress(msi, "MsiCloseHandle")));
    using SetString = UINT(WINAPI*)(unsigned long, UINT, const wchar_t*);
    auto setString = reinterpret_cast<SetString>(
        reinterpret_cast<void*>(GetProcAddress(msi, "MsiRecordSetStringW")));
    if (create && process && close && setString) {
      const unsigned long record = create(0);
      setString(record, 0, L"Quillet");
      process(0, 0x04000000, record);  // INSTALLMESSAGE_INFO
      process(0, 0x03000024, record);  // INSTALLMESSAGE_USER | MB_YESNO | MB_ICONQUESTION
      close(record);
    }
    FreeLibrary(msi);
  }
  const std::set<std::wstring> modulesBeforeLoad = LoadedModules();
  LoadedDll dll;
  ASSERT_NE(dll.get(), nullptr) << e2e::Utf8(DllPath());
  const auto nsisRun = dll.Get<NsisFunction>("NsisRun");
  const char* msiNames[] = {"MsiCheck", "MsiInstall", "MsiRemove", "MsiRollback", "MsiCommit"};
  for (const char* name : msiNames) ASSERT_NE(dll.Get<MsiAction>(name), nullptr) << name;
  ASSERT_NE(nsisRun, nullptr);

  // One outdated-host check first: under Wine it leaves oleaut32 loaded for good (seen only
  // after a user message of an action whose msi.dll was loaded afresh; the same calls made
  // straight on msi.dll above leave nothing). What it leaves is set apart below, and from then on
  // nothing more may stay.
  ASSERT_TRUE(e2e::WriteText(std::wstring(e2e::kVersionKey), e2e::kVersionValue, L"400"));
  EXPECT_EQ(dll.Get<MsiAction>("MsiCheck")(0), 1602u);
  ASSERT_TRUE(e2e::DeleteTree(e2e::kBrannickKey));
  std::set<std::wstring> leftByFirstCheck;
  for (const std::wstring& m : LoadedModules()) {
    if (!modulesBeforeLoad.count(m) && m.find(L"quillet.dll") == std::wstring::npos) {
      leftByFirstCheck.insert(m);
    }
  }

  const ProcessState before = Capture();
  const std::wstring install = L"\"GastTest\",\"Gast\",\"Gast.exe\"";
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    // Each entry fails first (a refused command text, an outdated host, no installer session),
    // then runs as it should.
    EXPECT_EQ(CallQuilletRun(dll.get(), nullptr, L"", L"", kSilent), 2);
    EXPECT_EQ(CallQuilletRun(dll.get(), nullptr, L"C:\\Gast", install.c_str(), kSilent), 0);
    EXPECT_EQ(CallNsis(nsisRun, {L"\"Gast Test\""}, L"C:\\Gast"), L"2");
    EXPECT_EQ(CallNsis(nsisRun, {L"/FOLDER", L"C:\\Anders", install}, L"C:\\Gast"), L"0");
    EXPECT_EQ(ReadText(AddOnKey(L"GastTest"), L"ExeDateiname"), L"C:\\Anders\\Gast.exe");
    EXPECT_EQ(CallNsis(nsisRun, {L"\"GastTest\""}, L"C:\\Gast"), L"0");

    ASSERT_TRUE(e2e::WriteText(std::wstring(e2e::kVersionKey), e2e::kVersionValue, L"400"));
    EXPECT_EQ(dll.Get<MsiAction>("MsiCheck")(0), 1602u) << "outdated, no UI to ask: user exit";
    ASSERT_TRUE(e2e::DeleteTree(e2e::kBrannickKey));
    EXPECT_EQ(dll.Get<MsiAction>("MsiCheck")(0), 0u);
    // Without a session there is no action data: a usage refusal for install, a warning only
    // for remove, nothing to do for rollback and commit.
    EXPECT_EQ(dll.Get<MsiAction>("MsiInstall")(0), 1603u);
    EXPECT_EQ(dll.Get<MsiAction>("MsiRemove")(0), 0u);
    EXPECT_EQ(dll.Get<MsiAction>("MsiRollback")(0), 0u);
    EXPECT_EQ(dll.Get<MsiAction>("MsiCommit")(0), 0u);
  }
  const ProcessState after = Capture();

  EXPECT_EQ(after.directory, before.directory);
  EXPECT_EQ(after.errorMode, before.errorMode);
  EXPECT_EQ(after.locale, before.locale);
  EXPECT_EQ(after.apartment, before.apartment);
  EXPECT_EQ(after.modules, before.modules) << "before:\n"
                                           << Names(before.modules) << "after:\n"
                                           << Names(after.modules);
  EXPECT_EQ(after.handles, before.handles);

  dll.Free();
  std::set<std::wstring> expected = modulesBeforeLoad;
  expected.insert(leftByFirstCheck.begin(), leftByFirstCheck.end());
  EXPECT_EQ(LoadedModules(), expected) << "left loaded:\n" << Names(LoadedModules());
  EXPECT_LE(leftByFirstCheck.size(), 1u) << Names(leftByFirstCheck);

  SetThreadLocale(locale);
  SetErrorMode(errorMode);
}

struct FolderCase {
  const wchar_t* folder;  // null: none given
  const wchar_t* programFile;
  int status;
  const wchar_t* stored;  // null: the key must not exist
};

TEST_F(QuilletDll, CEntryCompletesABareNameWithTheGivenFolderOnlyAndRefusesItWithoutOne) {
  LoadedDll dll;
  ASSERT_NE(dll.get(), nullptr);
  const FolderCase cases[] = {
      {L"C:\\Programme\\Gast\\", L"Gast.exe", 0, L"C:\\Programme\\Gast\\Gast.exe"},
      {L"C:\\Programme\\Gast", L"Gast.exe", 0, L"C:\\Programme\\Gast\\Gast.exe"},
      {L"C:\\", L"Gast.exe", 0, L"C:\\Gast.exe"},
      {nullptr, L"D:\\Gast\\Gast.exe", 0, L"D:\\Gast\\Gast.exe"},
      {nullptr, L"Gast.exe", 2, nullptr},
      {L"", L"Gast.exe", 2, nullptr},
      {L"Programme\\Gast", L"Gast.exe", 2, nullptr},
      {L"\\Gast", L"Gast.exe", 2, nullptr},
      {L"C:Gast", L"Gast.exe", 2, nullptr},
      {L"\\\\Rechner\\Freigabe\\Gast", L"Gast.exe", 0, L"\\\\Rechner\\Freigabe\\Gast\\Gast.exe"},
      {L"C:\\Programme\\Gast/", L"Gast.exe", 0, L"C:\\Programme\\Gast\\Gast.exe"},
      {L"C:/", L"Gast.exe", 0, L"C:\\Gast.exe"},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(e2e::Utf8(std::wstring(c.folder ? c.folder : L"(none)") + L" + " + c.programFile));
    ASSERT_TRUE(e2e::DeleteTree(e2e::kBrannickKey));
    const std::wstring text = L"\"GastTest\",\"Gast\",\"" + std::wstring(c.programFile) + L"\"";
    EXPECT_EQ(CallQuilletRun(dll.get(), nullptr, c.folder, text.c_str(), kSilent), c.status);
    if (c.stored) {
      EXPECT_EQ(ReadText(AddOnKey(L"GastTest"), L"ExeDateiname"), c.stored);
    } else {
      EXPECT_FALSE(e2e::KeyExists(AddOnKey(L"GastTest")));
    }
  }
  // A removal names no program file, so it needs no folder.
  EXPECT_EQ(CallQuilletRun(dll.get(), nullptr, nullptr, L"\"GastTest\"", kSilent), 0);
}

}  // namespace

}  // namespace quillet
