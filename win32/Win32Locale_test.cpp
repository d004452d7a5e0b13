#include "win32/Win32Locale.h"

#include <gtest/gtest.h>

namespace quillet::ModulRegistrierung {
namespace {

TEST(Win32Locale, ToLowerFollowsThePlatform) {
  Win32Locale locale;
  EXPECT_EQ(locale.ToLower(L"VELLUMAR_1-x"), L"vellumar_1-x");
  EXPECT_EQ(locale.ToLower(L"\u00C9\u00C4\u00D6\u00DC"), L"\u00E9\u00E4\u00F6\u00FC");
  EXPECT_EQ(locale.ToLower(L"\u00DF"), L"\u00DF");
  EXPECT_EQ(locale.ToLower(L""), L"");
}

}  // namespace
}  // namespace quillet::ModulRegistrierung
