// The registry layer's suite against the real registry, under a scratch key of this process
// below HKEY_CURRENT_USER; the rights each operation asks for; and the Windows conversions
// compared with the stand-ins' fixed ones.
#include "win32/Win32Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/ModulRegistrierung_test.h"
#include "testing/FixedLocale.h"
#include "win32/Win32Locale.h"
#include "win32/UniqueHandle.h"

namespace quillet::ModulRegistrierung {
namespace {

using test::BindingFactory;
using test::RegistrySuite;
using test::TestBinding;

bool RunsUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A key opened here directly, beside the binding under test; empty when it cannot be opened.
unique_hkey OpenTestKey(const std::string& path, REGSAM access) {
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
    key.reset();
  }
  return key;
}

// A security descriptor whose DACL grants everyone exactly `allowed` (nothing when 0), or that
// has no DACL at all (everything allowed) when `open`.
class Dacl {
 public:
  Dacl(DWORD allowed, bool open) {
    InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
    if (open) {
      SetSecurityDescriptorDacl(&descriptor_, TRUE, nullptr, FALSE);
      return;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone_);
    InitializeAcl(reinterpret_cast<ACL*>(acl_), sizeof acl_, ACL_REVISION);
    if (allowed != 0) {
      AddAccessAllowedAce(reinterpret_cast<ACL*>(acl_), ACL_REVISION, allowed, everyone_);
    }
    SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<ACL*>(acl_), FALSE);
  }
  Dacl(const Dacl&) = delete;
  Dacl& operator=(const Dacl&) = delete;
  ~Dacl() {
    if (everyone_ != nullptr) FreeSid(everyone_);
  }
  SECURITY_DESCRIPTOR* Get() { return &descriptor_; }

 private:
  SECURITY_DESCRIPTOR descriptor_{};
  alignas(DWORD) BYTE acl_[256]{};
  PSID everyone_ = nullptr;
};

class Win32Binding : public TestBinding {
 public:
  Win32Binding()
      : scratch_("Software\\QuilletRegistryTest_" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str());
    unique_hkey key;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, scratch_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
  }
  ~Win32Binding() override {
    for (const std::string& path : refused_) {
      const unique_hkey key = OpenTestKey(path, WRITE_DAC);
      Dacl open(0, true);
      if (key.get() != nullptr) RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, open.Get());
    }
    // RegDeleteTree with a sub-key deletes that key too.
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(OpenTestKey(scratch_, KEY_QUERY_VALUE).get(), nullptr);
  }

  RegistryStore& Store() override { return registry_; }
  Locale& Conversions() override { return locale_; }
  ModulRegistrierung::Root Root() const override { return ModulRegistrierung::Root::CurrentUser; }
  std::string Scratch() const override { return scratch_; }

  std::optional<std::string> KeyClass(const std::string& path) override {
    const unique_hkey key = OpenTestKey(path, KEY_QUERY_VALUE);
    if (key.get() == nullptr) return std::nullopt;
    char keyClass[256] = {};
    DWORD length = sizeof keyClass;
    if (RegQueryInfoKeyA(key.get(), keyClass, &length, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return std::string(keyClass, length);
  }

  std::vector<std::string> ValueNames(const std::string& path) override {
    std::vector<std::string> names;
    const unique_hkey key = OpenTestKey(path, KEY_QUERY_VALUE);
    char name[256];
    DWORD length = sizeof name;
    for (DWORD i = 0;
         key.get() != nullptr && RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr,
                                               nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
      names.emplace_back(name, length);
    }
    return names;
  }

  bool KeepsClassOfExistingKey() const override { return !RunsUnderWine(); }

  bool RefuseAccess(const std::string& path, bool read, bool write) override {
    const DWORD allowed = (read ? 0 : KEY_READ) | (write ? 0 : KEY_WRITE | DELETE);
    {
      const unique_hkey key = OpenTestKey(path, WRITE_DAC);
      if (key.get() == nullptr) return false;
      Dacl dacl(allowed, false);
      if (RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, dacl.Get()) != ERROR_SUCCESS) {
        return false;
      }
      refused_.push_back(path);
    }
    // Only a registry that enforces the DACL can stand for a refusing key.
    const unique_hkey probe = OpenTestKey(path, read ? KEY_QUERY_VALUE : KEY_SET_VALUE);
    return probe.get() == nullptr;
  }

  bool FailSetValue(const std::string&) override { return false; }

  // Lets everyone open the key at `path` with exactly `allowed`; false when the registry does
  // not enforce it.
  bool Grant(const std::string& path, DWORD allowed) {
    {
      const unique_hkey key = OpenTestKey(path, WRITE_DAC);
      if (key.get() == nullptr) return false;
      Dacl dacl(allowed, false);
      if (RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, dacl.Get()) != ERROR_SUCCESS) {
        return false;
      }
      refused_.push_back(path);
    }
    return OpenTestKey(path, KEY_SET_VALUE).get() == nullptr;
  }

 private:
  Win32Registry registry_;
  Win32Locale locale_;
  std::string scratch_;
  std::vector<std::string> refused_;
};

INSTANTIATE_TEST_SUITE_P(Win32, RegistrySuite,
                         ::testing::Values(BindingFactory{
                             "Win32", [] { return std::make_unique<Win32Binding>(); }}),
                         [](const auto& info) { return info.param.name; });

// --- The advapi32 protocol, which only this binding speaks ----------------------------------

class Win32Protocol : public ::testing::Test {
 protected:
  static constexpr Root kUser = Root::CurrentUser;
  Win32Binding binding_;
  Win32Registry registry_;
  std::string Path(const std::string& below) const { return binding_.Scratch() + "\\" + below; }
  bool Opens(const std::string& path) { return registry_.KeyExists(kUser, path); }
};

// The rights a run has always asked for, as numbers: KEY_READ and KEY_ALL_ACCESS without their
// standard-rights part, each with the 32-bit view. Fewer rights would let a run write where it
// was refused before; more would refuse it keys it could use.
TEST_F(Win32Protocol, AsksForExactlyTheRightsEachOperationNeeds) {
  EXPECT_EQ(AccessOf(RegistryAccess::Read), REGSAM{0x19 | 0x200});
  EXPECT_EQ(AccessOf(RegistryAccess::Write), REGSAM{0x3F | 0x200});
  EXPECT_EQ(RootKey(Root::LocalMachine), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(RootKey(Root::CurrentUser), HKEY_CURRENT_USER);
  // A key that grants exactly the read rights exists and reads, but neither writes nor opens
  // through CreateKey; one that grants them short of KEY_NOTIFY does not even exist.
  ASSERT_EQ(registry_.CreateKey(kUser, Path("Lesen"), ""), KeyCreation::Created);
  ASSERT_TRUE(registry_.WriteValue(kUser, Path("Lesen"), "v", {kRegSz, {'x', 0}}));
  ASSERT_EQ(registry_.CreateKey(kUser, Path("Kaum"), ""), KeyCreation::Created);
  if (!binding_.Grant(Path("Lesen"), KEY_READ) ||
      !binding_.Grant(Path("Kaum"), KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS)) {
    GTEST_SKIP() << "this registry does not enforce key security";
  }
  EXPECT_TRUE(registry_.KeyExists(kUser, Path("Lesen")));
  EXPECT_EQ(registry_.ReadValue(kUser, Path("Lesen"), "v").value, (StoredValue{kRegSz, {'x', 0}}));
  EXPECT_FALSE(registry_.KeyWritable(kUser, Path("Lesen")));
  EXPECT_FALSE(registry_.WriteValue(kUser, Path("Lesen"), "v", {kRegSz, {'y', 0}}));
  EXPECT_EQ(registry_.CreateKey(kUser, Path("Lesen"), ""), KeyCreation::Failed);
  EXPECT_FALSE(registry_.KeyExists(kUser, Path("Kaum")));
  EXPECT_EQ(registry_.ReadValue(kUser, Path("Kaum"), "v").status, ReadStatus::Failed);
}

TEST_F(Win32Protocol, PathShapesAreTakenAsWindowsTakesThem) {
  ASSERT_EQ(registry_.CreateKey(kUser, Path("A\\B"), ""), KeyCreation::Created);
  EXPECT_TRUE(Opens(Path("A\\B\\")));
  EXPECT_TRUE(Opens(Path("A\\\\B")));
  EXPECT_FALSE(Opens("\\" + Path("A\\B")));
  EXPECT_TRUE(Opens(Path("A") + std::string("\0zz", 3)));
  EXPECT_FALSE(Opens(Path("A\\C")));
  EXPECT_FALSE(registry_.DeleteKey(kUser, Path("A")));
  EXPECT_TRUE(registry_.DeleteKey(kUser, Path("a\\b\\")));
  EXPECT_TRUE(registry_.DeleteKey(kUser, Path("A")));
}

// The stand-ins' locale must convert as this platform does: Wine's ANSI code page is 1252.
TEST(Win32Locale, AnsiConversionAgreesWithTheFixedLocale) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
  Win32Locale windows;
  FixedLocale memory;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string ansi(1, static_cast<char>(byte));
    EXPECT_EQ(windows.FromAnsi(ansi), memory.FromAnsi(ansi)) << byte;
  }
  std::vector<wchar_t> characters;
  for (wchar_t c = 0; c < 0x800; ++c) characters.push_back(c);
  for (wchar_t c :
       {0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E, 0x2020, 0x2021, 0x2022,
        0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2122, 0x2212, 0x221E, 0xFF02, 0xFF21, 0xFFFD}) {
    characters.push_back(c);
  }
  for (wchar_t c : characters) {
    const std::wstring text(1, c);
    bool windowsExact = true;
    bool memoryExact = true;
    EXPECT_EQ(windows.ToAnsi(text, &windowsExact), memory.ToAnsi(text, &memoryExact))
        << static_cast<int>(c);
    EXPECT_EQ(windowsExact, memoryExact) << static_cast<int>(c);
  }
}

TEST(Win32Locale, DatesRoundTripUnderTheUsersRegionalSettings) {
  Win32Locale registry;
  const double kSecond = 1.0 / 86400;
  for (double day : {46364 + 50709 * kSecond, 46364.0, 0.5, -1.25, 2958465 + 86399 * kSecond}) {
    SCOPED_TRACE(day);
    const std::wstring text = registry.DateToText(Date{day});
    ASSERT_FALSE(text.empty());
    const std::optional<Date> back = registry.TextToDate(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_NEAR(back->oleDate, day, kSecond / 2);
  }
  EXPECT_EQ(registry.TextToDate(L""), std::nullopt);
  EXPECT_EQ(registry.TextToDate(L"kein Datum"), std::nullopt);
  EXPECT_EQ(registry.TextToDate(std::wstring(L"1\0", 2)), std::nullopt);
}

}  // namespace
}  // namespace quillet::ModulRegistrierung
