// The platform calls themselves, as the in-memory registry must reproduce them: run against
// both bindings, so that the real registry decides what is right.
#include "registry/RegistryPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/ModulRegistrierung_test.h"
#include "registry/RegistryKeyHandle.h"

namespace ModulRegistrierung::test {
namespace {

constexpr long kBadPathname = 161;
constexpr long kKeyDeleted = 1018;

// Creates `below` in the scratch key and returns its open handle.
RegistryKeyHandle Create(RegistryPlatform& platform, RegKey root, const std::string& path) {
  RegKey key = 0;
  std::uint32_t disposition = 0;
  EXPECT_EQ(platform.CreateKeyEx(root, path, "", 0, kAccessAll, &key, &disposition), kErrorSuccess)
      << path;
  return RegistryKeyHandle(platform, key);
}

long OpenStatus(RegistryPlatform& platform, RegKey root, const std::string& path,
                std::uint32_t access = kAccessRead) {
  RegKey key = 0;
  const long status = platform.OpenKeyEx(root, path, 0, access, &key);
  if (status == kErrorSuccess) RegistryKeyHandle owner(platform, key);
  return status;
}

TEST_P(RegistrySuite, PlatformQueryFollowsTheSizeProtocol) {
  Store("", "roh", kRegSz, {'a', 'b', 'c'});
  Store("", "leer", kRegSz, {});
  RegistryKeyHandle key = OpenRegistryKey(*platform_, binding_->Root(), AnsiPath(), kAccessRead);
  ASSERT_TRUE(key);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(platform_->QueryValueEx(key.Get(), "ROH", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 3u);
  std::uint8_t buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
  size = 2;
  EXPECT_EQ(platform_->QueryValueEx(key.Get(), "roh", &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 3u);
  size = 3;
  EXPECT_EQ(platform_->QueryValueEx(key.Get(), "roh", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(std::string(buffer, buffer + 4), "abc#");
  // With room to spare, a text stored without terminator gets one.
  size = 8;
  EXPECT_EQ(platform_->QueryValueEx(key.Get(), "roh", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(std::string(buffer, buffer + 5), std::string("abc\0#", 5));
  buffer[0] = '#';
  size = 8;
  EXPECT_EQ(platform_->QueryValueEx(key.Get(), "leer", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(platform_->QueryValueEx(key.Get(), "roh", &type, buffer, nullptr),
            kErrorInvalidParameter);
  EXPECT_EQ(platform_->QueryValueEx(key.Get(), "fehlt", &type, nullptr, &size), kErrorFileNotFound);
}

TEST_P(RegistrySuite, PlatformFoldsTheCaseOfWindows1252Letters) {
  struct Case {
    std::string created;
    std::string looked;
    bool same;
  };
  const std::vector<Case> cases = {
      {"\xC4", "\xE4", true}, {"\x8A", "\x9A", true},  {"\x8C", "\x9C", true},
      {"\x8E", "\x9E", true}, {"\x9F", "\xFF", true},  {"\xDE", "\xFE", true},
      {"\xC0", "\xE0", true}, {"\xD7", "\xF7", false}, {"\xDF", "SS", false},
      {"\xB5", "\xB5", true}, {"i", "I", true},        {"\x80", "\x80", true},
      {"\x81", "\x81", true}, {"a", "b", false},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(i);
    const std::string prefix = AnsiPath("K" + std::to_string(i) + "_");
    Create(*platform_, binding_->Root(), prefix + c.created);
    EXPECT_EQ(OpenStatus(*platform_, binding_->Root(), prefix + c.looked),
              c.same ? kErrorSuccess : kErrorFileNotFound);
  }
}

TEST_P(RegistrySuite, PlatformHandlesOnlyDoWhatTheirRightsAllow) {
  Store("", "v", kRegSz, {'x', 0});
  const std::uint8_t data[] = {'y', 0};
  {
    RegistryKeyHandle reading = OpenRegistryKey(*platform_, binding_->Root(), AnsiPath(), 0x19);
    ASSERT_TRUE(reading);
    EXPECT_EQ(platform_->SetValueEx(reading.Get(), "v", kRegSz, data, 2), kErrorAccessDenied);
    RegistryKeyHandle writing = OpenRegistryKey(*platform_, binding_->Root(), AnsiPath(), 0x2);
    ASSERT_TRUE(writing);
    std::uint32_t size = 0;
    EXPECT_EQ(platform_->QueryValueEx(writing.Get(), "v", nullptr, nullptr, &size),
              kErrorAccessDenied);
  }
  EXPECT_EQ(ReadStored("", "v"), (Stored{kRegSz, {'x', 0}}));
}

TEST_P(RegistrySuite, PlatformTakesPathShapesAsWindowsDoes) {
  Create(*platform_, binding_->Root(), AnsiPath("A\\B"));
  const RegKey root = binding_->Root();
  EXPECT_EQ(OpenStatus(*platform_, root, AnsiPath("A\\B\\")), kErrorSuccess);
  EXPECT_EQ(OpenStatus(*platform_, root, AnsiPath("A\\\\B")), kErrorSuccess);
  EXPECT_EQ(OpenStatus(*platform_, root, "\\" + AnsiPath("A\\B")), kBadPathname);
  EXPECT_EQ(OpenStatus(*platform_, root, AnsiPath("A") + std::string("\0zz", 3)), kErrorSuccess);
  EXPECT_EQ(OpenStatus(*platform_, root, AnsiPath("A\\C")), kErrorFileNotFound);
  RegistryKeyHandle a = OpenRegistryKey(*platform_, root, AnsiPath("A"), kAccessRead);
  ASSERT_TRUE(a);
  EXPECT_EQ(OpenStatus(*platform_, a.Get(), "b"), kErrorSuccess);
  EXPECT_EQ(OpenStatus(*platform_, a.Get(), ""), kErrorSuccess);
}

TEST_P(RegistrySuite, PlatformDeleteRefusesSubKeysAndLeavesHandlesDead) {
  const RegKey root = binding_->Root();
  Create(*platform_, root, AnsiPath("A\\B"));
  EXPECT_EQ(platform_->DeleteKey(root, AnsiPath("A")), kErrorAccessDenied);
  EXPECT_EQ(platform_->DeleteKey(root, AnsiPath("A\\X")), kErrorFileNotFound);
  RegistryKeyHandle open = OpenRegistryKey(*platform_, root, AnsiPath("A\\B"), kAccessAll);
  ASSERT_TRUE(open);
  EXPECT_EQ(platform_->DeleteKey(root, AnsiPath("a\\b\\")), kErrorSuccess);
  EXPECT_EQ(OpenStatus(*platform_, root, AnsiPath("A\\B")), kErrorFileNotFound);
  // A key made anew under the old name is not reached through the old handle.
  Create(*platform_, root, AnsiPath("A\\B"));
  const std::uint8_t byte = 1;
  EXPECT_EQ(platform_->SetValueEx(open.Get(), "x", kRegBinary, &byte, 1), kKeyDeleted);
  std::uint32_t size = 0;
  EXPECT_EQ(platform_->QueryValueEx(open.Get(), "x", nullptr, nullptr, &size), kKeyDeleted);
  EXPECT_EQ(platform_->FlushKey(open.Get()), kKeyDeleted);
  open.Close();
  EXPECT_EQ(ReadStored("A\\B", "x"), std::nullopt);
  EXPECT_EQ(platform_->DeleteKey(root, AnsiPath("A\\B")), kErrorSuccess);
  EXPECT_EQ(platform_->DeleteKey(root, AnsiPath("A")), kErrorSuccess);
}

TEST_P(RegistrySuite, PlatformKeepsTheFirstSpellingOfAValueName) {
  RegistryKeyHandle key = Create(*platform_, binding_->Root(), AnsiPath());
  const std::uint8_t one[] = {'1', 0};
  const std::uint8_t two[] = {'2', 0};
  EXPECT_EQ(platform_->SetValueEx(key.Get(), "Wert", kRegSz, one, 2), kErrorSuccess);
  EXPECT_EQ(platform_->SetValueEx(key.Get(), "WERT", kRegSz, two, 2), kErrorSuccess);
  EXPECT_EQ(ReadStored("", "wert"), (Stored{kRegSz, {'2', 0}}));
}

}  // namespace
}  // namespace ModulRegistrierung::test
