#include "text/ModulTextZeile2CollectionArray.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quillet {

namespace ModulTextZeile2CollectionArray {
namespace {

// Lines are written with Q for a double quote and _ for a blank, so that the table reads like
// the command lines it stands for.
std::wstring Plain(std::wstring_view brief) {
  std::wstring text(brief);
  for (wchar_t& c : text) {
    if (c == L'Q') c = L'"';
    if (c == L'_') c = L' ';
  }
  return text;
}

struct SplitCase {
  const wchar_t* line;
  std::vector<const wchar_t*> fields;
};

// The row's line in ctest's test list, instead of its bytes (which differ from build to build).
void PrintTo(const SplitCase& c, std::ostream* out) {
  for (const wchar_t ch : std::wstring_view(c.line))
    *out << (ch < 0x80 ? static_cast<char>(ch) : '?');
}

class CommaSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommaSplit, GivesTheListedFields) {
  const SplitCase& c = GetParam();
  FieldList expected;
  for (const wchar_t* f : c.fields) expected.push_back(Plain(f));
  EXPECT_EQ(TextZeileZerlegen(Plain(c.line), L",", L""), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommaSplit,
    ::testing::Values(
        SplitCase{L"QVellumarQ,QVideoetiketten_druckenQ,QC:\\Vellumar.exeQ",
                  {L"Vellumar", L"Videoetiketten_drucken", L"C:\\Vellumar.exe"}},
        SplitCase{L"a,b,c", {L"a", L"b", L"c"}}, SplitCase{L"Qa,bQ,c", {L"a,b", L"c"}},
        SplitCase{L"a,,b", {L"a", L"", L"b"}}, SplitCase{L"a,b,", {L"a", L"b", L""}},
        SplitCase{L",a", {L"", L"a"}}, SplitCase{L",", {L"", L""}},
        SplitCase{L"_a_,_QbQ_", {L"a", L"b"}}, SplitCase{L"a_,Q_b_Q", {L"a", L"_b_"}},
        SplitCase{L"___", {}}, SplitCase{L"", {}}, SplitCase{L"QxQ", {L"x"}},
        SplitCase{L"QQ", {L""}}, SplitCase{L"QaQ,", {L"a", L""}},
        SplitCase{L"QaQ_,b", {L"a", L"", L"b"}}, SplitCase{L"QaQx,b", {L"a", L"", L"b"}},
        SplitCase{L"QaQ,_Qb,cQ", {L"a", L"Qb", L"cQ"}}, SplitCase{L"QaQQbQ,c", {L"a", L"bQ", L"c"}},
        // An opening quote that never closes runs to the end of the line and keeps its quote.
        SplitCase{L"Q", {L"Q"}}, SplitCase{L"Qab,c", {L"Qab,c"}}, SplitCase{L"a,Q", {L"a", L"Q"}},
        SplitCase{L"a,_Qb,c", {L"a", L"Qb", L"c"}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) {
      return "Row" + std::to_string(info.index);
    });

TEST(TextZeileZerlegen, KeepsTabsAndTrailingLineFeedsButDropsOneLeadingLineFeed) {
  EXPECT_EQ(TextZeileZerlegen(L"a\t,b", L",", L""), (FieldList{L"a\t", L"b"}));
  EXPECT_EQ(TextZeileZerlegen(L"a,\n\"b\"", L",", L""), (FieldList{L"a", L"b"}));
  EXPECT_EQ(TextZeileZerlegen(L"a\n,b", L",", L""), (FieldList{L"a\n", L"b"}));
  // The whole line keeps its leading LF through trimming; the first field loses it, and the
  // blank behind it is not trimmed again.
  EXPECT_EQ(TextZeileZerlegen(L"\n a,b", L",", L""), (FieldList{L" a", L"b"}));
}

TEST(TextZeileZerlegen, SecondDelimiterEndsUnquotedFieldsToo) {
  EXPECT_EQ(TextZeileZerlegen(L"a;b,c", L",", L";"), (FieldList{L"a", L"b", L"c"}));
  EXPECT_EQ(TextZeileZerlegen(L"a;b,c", L",", L""), (FieldList{L"a;b", L"c"}));
}

TEST(TextZeileZerlegen, CrLfDelimiterLeavesNoTrace) {
  EXPECT_EQ(TextZeileZerlegen(L"a\r\nb\r\nc", L"\r\n", L""), (FieldList{L"a", L"b", L"c"}));
  // Other multi-character delimiters leave their tail in the next field.
  EXPECT_EQ(TextZeileZerlegen(L"a;;b", L";;", L""), (FieldList{L"a", L";b"}));
}

TEST(TextZeileZerlegen, LeavesTheCallersTextsAlone) {
  std::wstring line = L" \"a\" , b ";
  std::wstring delimiter = L",";
  TextZeileZerlegen(line, delimiter, L"");
  EXPECT_EQ(line, L" \"a\" , b ");
  EXPECT_EQ(delimiter, L",");
}

TEST(TextZeileZerlegen, CountsCharactersNotBytes) {
  EXPECT_EQ(TextZeileZerlegen(L"\"öäü,ß\",É", L",", L""), (FieldList{L"öäü,ß", L"É"}));
}

// A character beyond U+FFFF is one character, as two UTF-16 units: it is skipped as a whole
// behind a closing quote or as a delimiter, and half of it is no delimiter.
TEST(TextZeileZerlegen, SurrogatePairIsOneCharacter) {
  const std::wstring pair = L"\xD83D\xDE00";
  EXPECT_EQ(TextZeileZerlegen(L"\"a\"" + pair + L",b", L",", L""), (FieldList{L"a", L"", L"b"}));
  EXPECT_EQ(TextZeileZerlegen(L"a" + pair + L"b", pair, L""), (FieldList{L"a", L"b"}));
  EXPECT_EQ(TextZeileZerlegen(L"a" + pair + L"b", L"\xDE00", L"\xD83D"),
            (FieldList{L"a" + pair + L"b"}));
}

TEST(TextZeileZerlegen, EmptyDelimiterSplitsNothing) {
  EXPECT_EQ(TextZeileZerlegen(L"a,b", L"", L""), (FieldList{L"a,b"}));
}

TEST(AnfuehrungszeichenEntfernen, RemovesExactlyOneSurroundingPair) {
  const struct {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"\"", L"\""},         {L"\"\"", L""},           {L"\"a", L"\"a"},       {L"a\"", L"a\""},
      {L"\"a\"b\"", L"a\"b"}, {L" \"a\" ", L" \"a\" "}, {L"\"\"\"\"", L"\"\""}, {L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnfuehrungszeichenEntfernen(c.in), c.out)
        << "input: " << testing::PrintToString(std::wstring(c.in));
  }
}

}  // namespace
}  // namespace ModulTextZeile2CollectionArray

}  // namespace quillet
