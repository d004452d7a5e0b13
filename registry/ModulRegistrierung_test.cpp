#include "registry/ModulRegistrierung.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "registry/ModulRegistrierung_test.h"
#include "testing/StoredBytes.h"

namespace quillet::ModulRegistrierung::test {

// --- The fixture -------------------------------------------------------------------------

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

void RegistrySuite::SetUp() {
  binding_ = GetParam().make();
  ASSERT_NE(binding_, nullptr);
  store_ = std::make_unique<CountingStore>(binding_->Store());
  registry_ = std::make_unique<RegistryContext>(RegistryContext{*store_, binding_->Conversions()});
}

void RegistrySuite::TearDown() {}

std::wstring RegistrySuite::Path(const std::wstring& below) const {
  const std::string scratch = binding_->Scratch();
  std::wstring path(scratch.begin(), scratch.end());
  return below.empty() ? path : path + L"\\" + below;
}

std::string RegistrySuite::AnsiPath(const std::string& below) const {
  return below.empty() ? binding_->Scratch() : binding_->Scratch() + "\\" + below;
}

std::optional<StoredValue> RegistrySuite::ReadStored(const std::string& below,
                                                     const std::string& name) {
  ValueRead read = store_->ReadValue(binding_->Root(), AnsiPath(below), name);
  if (read.status == ReadStatus::Found) return read.value;
  return std::nullopt;
}

void RegistrySuite::Store(const std::string& below, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& bytes) {
  ASSERT_NE(store_->CreateKey(binding_->Root(), AnsiPath(below), ""), KeyCreation::Failed);
  // A guard byte that is not NUL behind the data: Wine takes a text passed without terminator
  // one byte longer when the byte behind it happens to be NUL.
  StoredValue value{type, bytes};
  value.bytes.push_back('G');
  value.bytes.pop_back();
  ASSERT_TRUE(store_->WriteValue(binding_->Root(), AnsiPath(below), name, value));
}

bool RegistrySuite::KeyThere(const std::string& below) {
  return store_->KeyExists(binding_->Root(), AnsiPath(below));
}

namespace {

const RegistryValue kDefault = std::wstring(L"Vorgabe");

// The read as a caller with a default sees it: `value` takes what was read and keeps the
// default when nothing was. True when the key and value were found.
bool ReadInto(const RegistryContext& registry, Root root, std::wstring_view path,
              std::wstring_view name, RegistryValue& value, bool rawText) {
  ReadResult read = ReadRegistryValue(registry, root, path, name,
                                      rawText ? TextDecoding::Raw : TextDecoding::Typed);
  EXPECT_FALSE(read.invalidDateText.has_value()) << "an invalid date no test expects";
  if (KindOf(read.value) != RegistryValueKind::Empty) value = std::move(read.value);
  return read.found;
}

RegistryValue Text(std::wstring text) { return RegistryValue(std::move(text)); }

using stored::Sz;

// --- What a write stores, and how it reads back -------------------------------------------

struct StoreCase {
  const char* name;
  RegistryValue written;
  StoredValue stored;
  RegistryValue typed;  // read back with typed decoding
  RegistryValue raw;    // read back with rawText
};

const std::vector<StoreCase>& StoreCases() {
  static const std::vector<StoreCase> cases = {
      {"TextAbc", Text(L"abc"), {kRegSz, {0x61, 0x62, 0x63, 0x00}}, Text(L"abc"), Text(L"abc")},
      {"EmptyText", Text(L""), {kRegSz, {0x00}}, Text(L""), Text(L"")},
      {"TextEndingInNul",
       Text(std::wstring(L"ab\0", 3)),
       {kRegSz, {0x61, 0x62, 0x00}},
       Text(L"ab"),
       Text(L"ab")},
      {"TextWithNulInside",
       Text(std::wstring(L"a\0b", 3)),
       {kRegSz, {0x61, 0x00, 0x62, 0x00}},
       Text(std::wstring(L"a\0b", 3)),
       Text(std::wstring(L"a\0b", 3))},
      {"TextInAnsiCodePage",
       Text(L"Grüße für 5 €"),
       {kRegSz, {'G', 'r', 0xFC, 0xDF, 'e', ' ', 'f', 0xFC, 'r', ' ', '5', ' ', 0x80, 0x00}},
       Text(L"Grüße für 5 €"),
       Text(L"Grüße für 5 €")},
      {"BooleanTrue",
       RegistryValue(true),
       {kRegSz, Sz("typboolean:true")},
       RegistryValue(true),
       Text(L"typboolean:true")},
      {"BooleanFalse",
       RegistryValue(false),
       {kRegSz, Sz("typboolean:false")},
       RegistryValue(false),
       Text(L"typboolean:false")},
      {"TextLookingLikeBoolean",
       Text(L"typboolean:true"),
       {kRegSz, Sz("typboolean:true")},
       RegistryValue(true),
       Text(L"typboolean:true")},
      {"Integer16MinusOne",
       RegistryValue(std::int16_t{-1}),
       {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
       RegistryValue(std::int32_t{-1}),
       RegistryValue(std::int32_t{-1})},
      {"Integer16Lowest",
       RegistryValue(std::int16_t{-32768}),
       {kRegDword, {0x00, 0x80, 0xFF, 0xFF}},
       RegistryValue(std::int32_t{-32768}),
       RegistryValue(std::int32_t{-32768})},
      {"Integer32",
       RegistryValue(std::int32_t{0x12345678}),
       {kRegDword, {0x78, 0x56, 0x34, 0x12}},
       RegistryValue(std::int32_t{0x12345678}),
       RegistryValue(std::int32_t{0x12345678})},
      {"Integer32Lowest",
       RegistryValue(std::numeric_limits<std::int32_t>::min()),
       {kRegDword, {0x00, 0x00, 0x00, 0x80}},
       RegistryValue(std::numeric_limits<std::int32_t>::min()),
       RegistryValue(std::numeric_limits<std::int32_t>::min())},
  };
  return cases;
}

TEST_P(RegistrySuite, WritesTheStoredFormAndReadsItBack) {
  for (const StoreCase& c : StoreCases()) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Wert", c.written));
    EXPECT_EQ(ReadStored("", "Wert"), c.stored);
    RegistryValue typed = kDefault;
    EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), L"Wert", typed, false));
    EXPECT_EQ(typed, c.typed);
    RegistryValue raw = kDefault;
    EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), L"Wert", raw, true));
    EXPECT_EQ(raw, c.raw);
  }
}

// --- How stored texts decode ---------------------------------------------------------------

struct DecodeCase {
  const char* name;
  std::vector<std::uint8_t> stored;  // REG_SZ bytes exactly as another program stored them
  RegistryValue typed;
  RegistryValue raw;
};

std::vector<std::uint8_t> Unterminated(std::string_view text) { return Bytes(text); }

const std::vector<DecodeCase>& DecodeCases() {
  static const std::vector<DecodeCase> cases = {
      {"BooleanInCapitals", Sz("typboolean:TRUE"), RegistryValue(false), Text(L"typboolean:TRUE")},
      {"BooleanYes", Sz("typboolean:yes"), RegistryValue(false), Text(L"typboolean:yes")},
      {"BooleanNothing", Sz("typboolean:"), RegistryValue(false), Text(L"typboolean:")},
      {"BooleanTru", Sz("typboolean:tru"), RegistryValue(false), Text(L"typboolean:tru")},
      {"BooleanTrueLater", Sz("typboolean:xtrue"), RegistryValue(false), Text(L"typboolean:xtrue")},
      {"BooleanTrueish", Sz("typboolean:trueish"), RegistryValue(true),
       Text(L"typboolean:trueish")},
      {"PrefixWithCapital", Sz("Typboolean:true"), Text(L"Typboolean:true"),
       Text(L"Typboolean:true")},
      {"PrefixWithoutColon", Sz("typbooleantrue"), Text(L"typbooleantrue"),
       Text(L"typbooleantrue")},
      {"DatePrefixInCapitals", Sz("TYPDATE:kein Datum"), Text(L"TYPDATE:kein Datum"),
       Text(L"TYPDATE:kein Datum")},
      // StoredValue by other programs without terminator, or with size 0: exactly the characters.
      {"ListWithoutNul", Unterminated("A,B"), Text(L"A,B"), Text(L"A,B")},
      {"SizeZero", {}, Text(L""), Text(L"")},
      {"BooleanWithoutNul", Unterminated("typboolean:true"), RegistryValue(true),
       Text(L"typboolean:true")},
      {"TwoNuls",
       {'a', 'b', 'c', 0, 0},
       Text(std::wstring(L"abc\0", 4)),
       Text(std::wstring(L"abc\0", 4))},
      {"AnsiLetters", Sz("\xC4pfel \x80"), Text(L"Äpfel €"), Text(L"Äpfel €")},
  };
  return cases;
}

TEST_P(RegistrySuite, DecodesStoredTextsByExactPrefix) {
  for (const DecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.name);
    Store("", "Wert", kRegSz, c.stored);
    RegistryValue typed = std::int32_t{4711};
    EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), L"Wert", typed, false));
    EXPECT_EQ(typed, c.typed);
    RegistryValue raw = std::int32_t{4711};
    EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), L"Wert", raw, true));
    EXPECT_EQ(raw, c.raw);
  }
}

struct InvalidDateCase {
  const char* name;
  std::vector<std::uint8_t> stored;
  std::wstring wholeText;
};

TEST_P(RegistrySuite, InvalidDateIsReportedWithItsWholeTextAndReadsAsNothing) {
  const std::vector<InvalidDateCase> cases = {
      {"NothingAfterPrefix", Sz("typdate:"), L"typdate:"},
      {"NoDate", Sz("typdate:kein Datum"), L"typdate:kein Datum"},
      {"WithoutNul", Unterminated("typdate:xyz"), L"typdate:xyz"},
  };
  for (const InvalidDateCase& c : cases) {
    SCOPED_TRACE(c.name);
    Store("", "Datum", kRegSz, c.stored);
    const ReadResult typed = ReadRegistryValue(*registry_, binding_->Root(), Path(), L"Datum");
    EXPECT_TRUE(typed.found);
    EXPECT_EQ(KindOf(typed.value), RegistryValueKind::Empty);
    EXPECT_EQ(typed.invalidDateText, c.wholeText);

    const ReadResult raw =
        ReadRegistryValue(*registry_, binding_->Root(), Path(), L"Datum", TextDecoding::Raw);
    EXPECT_TRUE(raw.found);
    EXPECT_EQ(raw.value, Text(c.wholeText));
    EXPECT_EQ(raw.invalidDateText, std::nullopt);
  }
}

TEST_P(RegistrySuite, DateReadsBackAsTheSameDateAndTime) {
  const double kOneSecond = 1.0 / 86400;
  const std::vector<double> dates = {46364.0, 46364.0 + 50709 * kOneSecond, 36526.75, 0.5};
  for (double day : dates) {
    SCOPED_TRACE(day);
    const Date date{day};
    ASSERT_TRUE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Datum", date));
    const std::wstring text = binding_->Conversions().DateToText(date);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(
        ReadStored("", "Datum"),
        (StoredValue{kRegSz, Sz("typdate:" + binding_->Conversions().ToAnsi(text, nullptr))}));
    RegistryValue value = kDefault;
    EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), L"Datum", value, false));
    ASSERT_EQ(KindOf(value), RegistryValueKind::Date);
    EXPECT_NEAR(std::get<Date>(value).oleDate, day, kOneSecond / 2);
    RegistryValue raw = kDefault;
    EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), L"Datum", raw, true));
    EXPECT_EQ(raw, Text(L"typdate:" + text));
  }
}

TEST_P(RegistrySuite, DateOutsideTheCalendarIsRefusedNotStoredAsInvalidText) {
  const int writes = store_->SetValueCalls();
  EXPECT_FALSE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Datum", Date{1e9}));
  EXPECT_FALSE(
      WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Datum", Date{std::nan("")}));
  EXPECT_EQ(store_->SetValueCalls(), writes);
  EXPECT_EQ(ReadStored("", "Datum"), std::nullopt);
}

// --- Numbers and other types ---------------------------------------------------------------

TEST_P(RegistrySuite, StoredDwordsReadAsSignedInteger32) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool read;
    RegistryValue value;
  };
  const std::vector<Case> cases = {
      {"Lowest",
       {0x00, 0x00, 0x00, 0x80},
       true,
       RegistryValue(std::numeric_limits<std::int32_t>::min())},
      {"AllOnes", {0xFF, 0xFF, 0xFF, 0xFF}, true, RegistryValue(std::int32_t{-1})},
      {"Highest",
       {0xFF, 0xFF, 0xFF, 0x7F},
       true,
       RegistryValue(std::numeric_limits<std::int32_t>::max())},
      // Sizes other than 4, as a careless writer may leave them.
      {"TwoBytes", {0xFF, 0xFF}, true, RegistryValue(std::int32_t{0xFFFF})},
      {"EightBytes", {1, 0, 0, 0, 0, 0, 0, 0}, false, kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store("", "Zahl", kRegDword, c.bytes);
    RegistryValue value = kDefault;
    EXPECT_EQ(ReadInto(*registry_, binding_->Root(), Path(), L"Zahl", value, false), c.read);
    EXPECT_EQ(value, c.value);
  }
}

TEST_P(RegistrySuite, OtherTypesKeepTheDefaultAndCountAsRead) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"MultiSz", kRegMultiSz, {'a', 0, 'b', 0, 0}},
      {"ExpandSz", kRegExpandSz, Sz("%TEMP%")},
      {"Binary", kRegBinary, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store("", c.name, c.type, c.bytes);
    RegistryValue value = kDefault;
    std::wstring name(c.name, c.name + std::char_traits<char>::length(c.name));
    EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), name, value, false));
    EXPECT_EQ(value, kDefault);
  }
}

TEST_P(RegistrySuite, MissingValueOrKeyKeepsTheDefault) {
  RegistryValue value = kDefault;
  EXPECT_FALSE(ReadInto(*registry_, binding_->Root(), Path(), L"Fehlt", value, false));
  EXPECT_EQ(value, kDefault);
  EXPECT_FALSE(ReadInto(*registry_, binding_->Root(), Path(L"Fehlt"), L"Wert", value, false));
  EXPECT_EQ(value, kDefault);
}

// --- Writing ------------------------------------------------------------------------------

TEST_P(RegistrySuite, WriteIntoMissingKeyFailsAndCreatesNothing) {
  const std::vector<RegistryValue> values = {Text(L"abc"), RegistryValue(std::int32_t{1}),
                                             RegistryValue(true), RegistryValue()};
  for (const RegistryValue& value : values) {
    SCOPED_TRACE(value.index());
    EXPECT_FALSE(
        WriteRegistryValue(*registry_, binding_->Root(), Path(L"Fehlt\\Auch"), L"Wert", value));
    EXPECT_FALSE(KeyThere("Fehlt"));
  }
  // The three values were offered to the store by path and refused there; Empty offers nothing.
  EXPECT_EQ(store_->SetValueCalls(), 3);
}

TEST_P(RegistrySuite, EmptyWriteReturnsTrueAndLeavesTheKeyUntouched) {
  Store("", "Wert", kRegSz, Sz("alt"));
  const int writes = store_->SetValueCalls();
  EXPECT_TRUE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Wert", RegistryValue()));
  EXPECT_TRUE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Neu", RegistryValue()));
  EXPECT_EQ(store_->SetValueCalls(), writes);
  EXPECT_EQ(ReadStored("", "Wert"), (StoredValue{kRegSz, Sz("alt")}));
  EXPECT_EQ(ReadStored("", "Neu"), std::nullopt);
}

TEST_P(RegistrySuite, NamesOutsideTheAnsiCodePageAreRefusedTextsStoredWithQuestionMarks) {
  Store("", "Wert", kRegSz, Sz("alt"));
  const int writes = store_->SetValueCalls();
  // Ω has no Windows-1252 form: as a name it would address another key or value ("?").
  EXPECT_FALSE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"\u03A9", Text(L"x")));
  EXPECT_FALSE(
      CreateRegistryKey(*registry_, binding_->Root(), Path(L"\u03A9"), L"Anwendungsdaten"));
  EXPECT_FALSE(KeyThere("?"));
  EXPECT_EQ(store_->SetValueCalls(), writes);
  EXPECT_EQ(ReadStored("", "?"), std::nullopt);
  // As text data it is stored the only way the host can read it, without best-fit guessing.
  EXPECT_TRUE(
      WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Wert", Text(L"\u03A9mega")));
  EXPECT_EQ(ReadStored("", "Wert"), (StoredValue{kRegSz, Sz("?mega")}));
}

TEST_P(RegistrySuite, NamesWithNulAreRefusedRatherThanCutShort) {
  Store("", "Wert", kRegSz, Sz("alt"));
  const std::wstring cut(L"Wert\0zwei", 9);
  EXPECT_FALSE(WriteRegistryValue(*registry_, binding_->Root(), Path(), cut, Text(L"neu")));
  EXPECT_EQ(ReadStored("", "Wert"), (StoredValue{kRegSz, Sz("alt")}));
  RegistryValue value = kDefault;
  EXPECT_FALSE(ReadInto(*registry_, binding_->Root(), Path(), cut, value, false));
  EXPECT_EQ(value, kDefault);
  EXPECT_FALSE(DeleteRegistryKey(*registry_, binding_->Root(), Path() + std::wstring(L"\0x", 2)));
  EXPECT_TRUE(KeyThere(""));
}

TEST_P(RegistrySuite, WriteRefusedByTheStoreReturnsFalse) {
  Store("Gesperrt", "Wert", kRegSz, Sz("alt"));
  if (!binding_->FailSetValue(AnsiPath("Gesperrt"))) GTEST_SKIP() << "binding cannot fail writes";
  EXPECT_FALSE(
      WriteRegistryValue(*registry_, binding_->Root(), Path(L"Gesperrt"), L"Wert", Text(L"neu")));
  EXPECT_EQ(ReadStored("Gesperrt", "Wert"), (StoredValue{kRegSz, Sz("alt")}));
}

// --- Keys ---------------------------------------------------------------------------------

TEST_P(RegistrySuite, CreateIsTrueOnlyForANewKeyAndKeepsTheClass) {
  EXPECT_TRUE(
      CreateRegistryKey(*registry_, binding_->Root(), Path(L"AddOn_X"), L"Anwendungsdaten"));
  EXPECT_EQ(binding_->KeyClass(AnsiPath("AddOn_X")), "Anwendungsdaten");
  Store("AddOn_X", "Wert", kRegSz, Sz("bleibt"));
  EXPECT_FALSE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"AddOn_X"), L"Andere"));
  EXPECT_FALSE(
      CreateRegistryKey(*registry_, binding_->Root(), Path(L"addon_x"), L"Anwendungsdaten"));
  EXPECT_EQ(ReadStored("AddOn_X", "Wert"), (StoredValue{kRegSz, Sz("bleibt")}));
  // A key name has at most 255 characters (Wine refuses a shorter one too, once the whole path
  // is longer than 260).
  EXPECT_FALSE(CreateRegistryKey(*registry_, binding_->Root(), Path(std::wstring(256, L'n')), L""));
  // Wine replaces the class of an existing key that RegCreateKeyEx opens; Windows keeps it.
  if (binding_->KeepsClassOfExistingKey()) {
    EXPECT_EQ(binding_->KeyClass(AnsiPath("AddOn_X")), "Anwendungsdaten");
  }
}

TEST_P(RegistrySuite, CreateMakesTheMissingKeysAlongThePathWithTheClass) {
  ASSERT_TRUE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"Alt"), L"AlteKlasse"));
  EXPECT_TRUE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"Alt\\Neu\\Blatt"), L"Klasse"));
  // Wine gives an existing key along the path the new class too; Windows keeps the old one.
  if (binding_->KeepsClassOfExistingKey()) {
    EXPECT_EQ(binding_->KeyClass(AnsiPath("Alt")), "AlteKlasse");
  }
  EXPECT_EQ(binding_->KeyClass(AnsiPath("Alt\\Neu")), "Klasse");
  EXPECT_EQ(binding_->KeyClass(AnsiPath("Alt\\Neu\\Blatt")), "Klasse");
}

TEST_P(RegistrySuite, KeyExistsOnlyForAKeyThatOpensForReading) {
  EXPECT_TRUE(RegistryKeyExists(*registry_, binding_->Root(), Path()));
  EXPECT_FALSE(RegistryKeyExists(*registry_, binding_->Root(), Path(L"Fehlt")));
  ASSERT_TRUE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"Gro\u00DF\\\u00C4pfel"), L""));
  EXPECT_TRUE(RegistryKeyExists(*registry_, binding_->Root(), Path(L"GRO\u00DF\\\u00E4PFEL")));
  EXPECT_FALSE(RegistryKeyExists(*registry_, binding_->Root(), Path(L"GROSS\\\u00E4PFEL")));
}

TEST_P(RegistrySuite, RefusedRightsCountAsFailure) {
  Store("Gesperrt", "Wert", kRegSz, Sz("alt"));
  if (!binding_->RefuseAccess(AnsiPath("Gesperrt"), true, true)) {
    GTEST_SKIP() << "binding cannot refuse rights";
  }
  EXPECT_FALSE(RegistryKeyExists(*registry_, binding_->Root(), Path(L"Gesperrt")));
  // The key is there: its value could not be read, which is not the same as missing.
  EXPECT_EQ(store_->ReadValue(binding_->Root(), AnsiPath("Gesperrt"), "Wert").status,
            ReadStatus::Failed);
  EXPECT_EQ(store_->ReadKey(binding_->Root(), AnsiPath("Gesperrt")), std::nullopt);
  RegistryValue value = kDefault;
  EXPECT_FALSE(ReadInto(*registry_, binding_->Root(), Path(L"Gesperrt"), L"Wert", value, false));
  EXPECT_EQ(value, kDefault);
  EXPECT_FALSE(
      WriteRegistryValue(*registry_, binding_->Root(), Path(L"Gesperrt"), L"Wert", Text(L"neu")));
  EXPECT_FALSE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"Gesperrt"), L""));
}

TEST_P(RegistrySuite, ReadRefusedButWriteAllowed) {
  Store("Nurschreiben", "Wert", kRegSz, Sz("alt"));
  if (!binding_->RefuseAccess(AnsiPath("Nurschreiben"), true, false)) {
    GTEST_SKIP() << "binding cannot refuse rights";
  }
  EXPECT_FALSE(RegistryKeyExists(*registry_, binding_->Root(), Path(L"Nurschreiben")));
  RegistryValue value = kDefault;
  EXPECT_FALSE(
      ReadInto(*registry_, binding_->Root(), Path(L"Nurschreiben"), L"Wert", value, false));
  EXPECT_EQ(value, kDefault);
  // Writing asks for the read rights too, so it is refused as a whole.
  EXPECT_FALSE(WriteRegistryValue(*registry_, binding_->Root(), Path(L"Nurschreiben"), L"Wert",
                                  Text(L"neu")));
}

TEST_P(RegistrySuite, DeleteRemovesAKeyWithValuesButNotOneWithSubKeys) {
  Store("Weg", "Wert", kRegSz, Sz("x"));
  EXPECT_TRUE(DeleteRegistryKey(*registry_, binding_->Root(), Path(L"WEG")));
  EXPECT_FALSE(KeyThere("Weg"));

  ASSERT_TRUE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"Eltern\\Kind"), L""));
  // A sibling whose name sorts between the key and its sub-key does not hide the sub-key.
  ASSERT_TRUE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"Eltern-Alt"), L""));
  EXPECT_FALSE(DeleteRegistryKey(*registry_, binding_->Root(), Path(L"Eltern")));
  EXPECT_TRUE(KeyThere("Eltern\\Kind"));

  EXPECT_FALSE(DeleteRegistryKey(*registry_, binding_->Root(), Path(L"Fehlt")));
}

TEST_P(RegistrySuite, NamesCompareWithoutRegardToCase) {
  ASSERT_TRUE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"Version", Text(L"1")));
  ASSERT_TRUE(WriteRegistryValue(*registry_, binding_->Root(), Path(), L"VERSION", Text(L"2")));
  RegistryValue value = kDefault;
  EXPECT_TRUE(ReadInto(*registry_, binding_->Root(), Path(), L"version", value, false));
  EXPECT_EQ(value, Text(L"2"));
  ASSERT_TRUE(CreateRegistryKey(*registry_, binding_->Root(), Path(L"\u00C4rger\u0160"), L""));
  EXPECT_TRUE(WriteRegistryValue(*registry_, binding_->Root(), Path(L"\u00E4RGER\u0161"), L"\u00FF",
                                 Text(L"ja")));
  EXPECT_EQ(ReadStored("\xC4rger\x8A", "\x9F"), (StoredValue{kRegSz, Sz("ja")}));
}

}  // namespace
}  // namespace quillet::ModulRegistrierung::test
