#include "app/Modul.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/RecordingFrontend.h"

namespace quillet::Modul {
namespace {

struct NumberCase {
  const wchar_t* field;
  std::optional<std::int32_t> number;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << testing::PrintToString(c.field); }

class NumberRule : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberRule, ReadsTheLeadingNumber) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(ReadNumber(c.field), c.number);
}

constexpr std::optional<std::int32_t> kOverflow = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Table, NumberRule,
    ::testing::Values(
        // The cases the command line is known for.
        NumberCase{L"3", 3}, NumberCase{L"2.5", 2}, NumberCase{L"3.5", 4}, NumberCase{L"-2.5", -2},
        NumberCase{L"7abc", 7}, NumberCase{L"abc", 0}, NumberCase{L"1 2", 12},
        NumberCase{L"1,5", 1}, NumberCase{L"99999999999", kOverflow}, NumberCase{L"", 0},
        // Halves go to the even neighbour; anything past a half goes up.
        NumberCase{L"0.5", 0}, NumberCase{L"1.5", 2}, NumberCase{L"-1.5", -2},
        NumberCase{L"-3.5", -4}, NumberCase{L"2.500000000000000000000001", 3},
        NumberCase{L"2.4999999999999999999", 2}, NumberCase{L"2.50000000000000000000000", 2},
        NumberCase{L"-0.4", 0}, NumberCase{L".6", 1},
        NumberCase{L"0.0000000000000000000000000006", 0}, NumberCase{L"4.", 4},
        // Blanks, tabs and line feeds are skipped anywhere; a carriage return is not.
        NumberCase{L" \t\n- 1\t2 .\n5", -12}, NumberCase{L"1 e 3", 1000}, NumberCase{L"1\r2", 1},
        // Sign, decimal point and exponent: one each, and reading stops at what cannot follow.
        NumberCase{L"+5", 5}, NumberCase{L"+-5", 0}, NumberCase{L"--5", 0}, NumberCase{L"1.2.3", 1},
        NumberCase{L"1.5.9", 2}, NumberCase{L"-", 0}, NumberCase{L".", 0}, NumberCase{L"1e", 1},
        NumberCase{L"1e+", 1}, NumberCase{L"1ex", 1}, NumberCase{L"1E2", 100},
        NumberCase{L"1e-1", 0}, NumberCase{L"25e-1", 2}, NumberCase{L"35E-1", 4},
        NumberCase{L"1.5e1", 15}, NumberCase{L"e5", 0}, NumberCase{L"1d2", 1},
        NumberCase{L"\xFF11", 0}, NumberCase{L"1\xFF12", 1},
        // Hexadecimal and octal numbers with an ampersand are not read.
        NumberCase{L"&H10", 0}, NumberCase{L"&O17", 0}, NumberCase{L"0x10", 0},
        // The edges of the signed 32-bit range, also reached by rounding and by exponents.
        NumberCase{L"2147483647", 2147483647}, NumberCase{L"2147483648", kOverflow},
        NumberCase{L"-2147483648", -2147483647 - 1}, NumberCase{L"-2147483649", kOverflow},
        NumberCase{L"2147483647.4", 2147483647}, NumberCase{L"2147483647.5", kOverflow},
        NumberCase{L"2147483646.5", 2147483646}, NumberCase{L"-2147483648.5", -2147483647 - 1},
        NumberCase{L"-2147483648.51", kOverflow}, NumberCase{L"2.147483647e9", 2147483647},
        NumberCase{L"2.147483648e9", kOverflow}, NumberCase{L"1e10", kOverflow},
        NumberCase{L"0001e9", 1000000000}, NumberCase{L"00000000000000000000042", 42},
        // Exponents far beyond any range neither overflow the reading nor take long.
        NumberCase{L"1e99999999999999999999999999", kOverflow},
        NumberCase{L"1e-99999999999999999999999999", 0},
        NumberCase{L"0e99999999999999999999999999", 0},
        NumberCase{L"-1e+99999999999999999999999999", kOverflow}),
    [](const ::testing::TestParamInfo<NumberCase>& info) {
      return "Row" + std::to_string(info.index);
    });

TEST(ReadNumber, HugeDigitStringsAreReadWithoutTrouble) {
  EXPECT_EQ(ReadNumber(std::wstring(1'000'000, L'9')), std::nullopt);
  EXPECT_EQ(ReadNumber(L"0." + std::wstring(1'000'000, L'0') + L"1e1000000"), 0);
  EXPECT_EQ(ReadNumber(L"0." + std::wstring(999'999, L'0') + L"15e1000000"), 2);
  EXPECT_EQ(ReadNumber(L"2.5" + std::wstring(1'000'000, L'0') + L"1"), 3);
  EXPECT_EQ(ReadNumber(L"12" + std::wstring(1'000'000, L'0') + L"e-1000000"), 12);
  EXPECT_EQ(ReadNumber(std::wstring(1'000'000, L' ') + L"7"), 7);
}

TEST(UngueltigesNamenszeichen, AcceptsTheAllowedSetAndUpperCaseLetters) {
  const auto lower = PortableToLower;
  EXPECT_EQ(UngueltigesNamenszeichen(L"", lower), L"");
  EXPECT_EQ(UngueltigesNamenszeichen(L"abcdefghijklmnopqrstuvwxyz0123456789_-öäüß", lower), L"");
  EXPECT_EQ(UngueltigesNamenszeichen(L"Vellumar", lower), L"");
  EXPECT_EQ(UngueltigesNamenszeichen(L"ÄÖÜ", lower), L"");
}

struct NameCase {
  const wchar_t* name;
  const wchar_t* character;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << testing::PrintToString(c.name); }

class UngueltigesZeichen : public ::testing::TestWithParam<NameCase> {};

TEST_P(UngueltigesZeichen, IsTheFirstOneInLowerCase) {
  EXPECT_EQ(UngueltigesNamenszeichen(GetParam().name, PortableToLower), GetParam().character);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UngueltigesZeichen,
    ::testing::Values(NameCase{L"Velu mar", L" "}, NameCase{L"café", L"é"}, NameCase{L"CAFÉ", L"é"},
                      NameCase{L"a.b", L"."}, NameCase{L"a\\b", L"\\"}, NameCase{L"a,b", L","},
                      NameCase{L"Éa.", L"é"}, NameCase{L"x\x0142", L"\x0142"},
                      NameCase{L"\x4E2D", L"\x4E2D"}, NameCase{L"a\tb", L"\t"},
                      NameCase{L"\x0130", L"\x0130"}, NameCase{L"\x212A", L"\x212A"},
                      NameCase{L"\x1E9E", L"\x1E9E"}, NameCase{L"ab\xD83D\xDE00", L"\xD83D\xDE00"},
                      NameCase{L"a\xD83D", L"\xD83D"}, NameCase{L"a\xDE00\xD83D", L"\xDE00"}),
    [](const ::testing::TestParamInfo<NameCase>& info) {
      return "Row" + std::to_string(info.index);
    });

TEST(UngueltigesNamenszeichen, ANulIsNoAllowedCharacter) {
  EXPECT_EQ(UngueltigesNamenszeichen(std::wstring(L"a\0b", 3), PortableToLower),
            std::wstring(1, L'\0'));
}

TEST(UngueltigesNamenszeichen, LowersEachCharacterOnItsOwnAndStopsAtTheFirst) {
  std::vector<std::wstring> gesehen;
  auto lower = [&](std::wstring s) {
    gesehen.push_back(s);
    return PortableToLower(std::move(s));
  };
  EXPECT_EQ(UngueltigesNamenszeichen(L"Ab.c!\xD83D\xDE00", lower), L".");
  EXPECT_EQ(gesehen, (std::vector<std::wstring>{L"A", L"b", L"."}));
  gesehen.clear();
  EXPECT_EQ(UngueltigesNamenszeichen(L"a\xD83D\xDE00", lower), L"\xD83D\xDE00");
  EXPECT_EQ(gesehen, (std::vector<std::wstring>{L"a", L"\xD83D\xDE00"}));
}

TEST(PortableToLower, LowersAsciiAndLatin1CapitalsOnly) {
  EXPECT_EQ(PortableToLower(L"AZaz09@[`{"), L"azaz09@[`{");
  EXPECT_EQ(PortableToLower(L"\u00C0\u00C4\u00C9\u00D6\u00D8\u00DC\u00DE"),
            L"\u00E0\u00E4\u00E9\u00F6\u00F8\u00FC\u00FE");
  // The capitals Windows-1252 adds beyond Latin-1.
  EXPECT_EQ(PortableToLower(L"\u0160\u0152\u017D\u0178"), L"\u0161\u0153\u017E\u00FF");
  // The multiplication sign sits among the capitals but is none; ß and ÿ have no capital here.
  EXPECT_EQ(PortableToLower(L"\u00D7\u00DF\u00FF\u00BF"), L"\u00D7\u00DF\u00FF\u00BF");
  // What Wine's CharLowerBuffW leaves alone.
  EXPECT_EQ(PortableToLower(L"\u0130\u212A\u1E9E"), L"\u0130\u212A\u1E9E");
}

TEST(BackslashAnhaengen, AppendsOneBackslashUnlessThereIsOne) {
  EXPECT_EQ(BackslashAnhaengen(L""), L"\\");
  EXPECT_EQ(BackslashAnhaengen(L"C:\\Programme"), L"C:\\Programme\\");
  EXPECT_EQ(BackslashAnhaengen(L"C:\\Programme\\"), L"C:\\Programme\\");
  EXPECT_EQ(BackslashAnhaengen(L"C:\\"), L"C:\\");
  EXPECT_EQ(BackslashAnhaengen(L"C:/Programme/"), L"C:/Programme/\\");
}

}  // namespace
}  // namespace quillet::Modul
