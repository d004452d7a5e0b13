#include "registry/RegistryValue.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace quillet::ModulRegistrierung {
namespace {

TEST(RegistryValue, AsTextGivesWhatTheCallersKeep) {
  struct Case {
    RegistryValue value;
    std::wstring text;
  };
  const std::vector<Case> cases = {
      {RegistryValue(), L""},
      {RegistryValue(std::wstring(L"1.2.3")), L"1.2.3"},
      {RegistryValue(std::wstring(L"")), L""},
      {RegistryValue(std::int32_t{0}), L"0"},
      {RegistryValue(std::int32_t{-17}), L"-17"},
      {RegistryValue(std::numeric_limits<std::int32_t>::min()), L"-2147483648"},
      {RegistryValue(std::numeric_limits<std::int32_t>::max()), L"2147483647"},
      {RegistryValue(std::int32_t{10}), L"10"},
      {RegistryValue(std::int16_t{-32768}), L"-32768"},
      {RegistryValue(std::int16_t{32767}), L"32767"},
      {RegistryValue(true), L"True"},
      {RegistryValue(false), L"False"},
      {RegistryValue(Date{46364}), L"08.12.2026"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.index());
    EXPECT_EQ(AsText(c.value, L"08.12.2026"), c.text);
  }
  EXPECT_EQ(AsText(RegistryValue(Date{46364})), L"");
}

TEST(RegistryValue, KindFollowsTheAlternative) {
  EXPECT_EQ(KindOf(RegistryValue()), RegistryValueKind::Empty);
  EXPECT_EQ(KindOf(RegistryValue(std::int16_t{1})), RegistryValueKind::Integer16);
  EXPECT_EQ(KindOf(RegistryValue(std::int32_t{1})), RegistryValueKind::Integer32);
  EXPECT_EQ(KindOf(RegistryValue(false)), RegistryValueKind::Boolean);
  EXPECT_EQ(KindOf(RegistryValue(Date{})), RegistryValueKind::Date);
  EXPECT_EQ(KindOf(RegistryValue(std::wstring())), RegistryValueKind::Text);
}

}  // namespace
}  // namespace quillet::ModulRegistrierung
