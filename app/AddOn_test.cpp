#include "app/AddOn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/Facts.h"
#include "testing/FixedLocale.h"
#include "testing/MemoryRegistry.h"
#include "testing/RecordingFrontend.h"
#include "testing/StoredBytes.h"

namespace quillet {

namespace {

constexpr ModulRegistrierung::Root kMachine = ModulRegistrierung::Root::LocalMachine;
using ModulRegistrierung::kRegDword;
using ModulRegistrierung::kRegSz;
using ModulRegistrierung::MemoryRegistry;
using ModulRegistrierung::RegistryContext;
using ModulRegistrierung::StoredValue;
using Bytes = std::vector<std::uint8_t>;

std::string ToAnsi(std::wstring_view text) { return FixedLocale::AnsiOf(text); }

const std::string kHost = ToAnsi(facts::kHostKey);
const std::string kList = ToAnsi(facts::kAddOnList);
const std::string kClass = ToAnsi(facts::kAddOnKeyClass);

using stored::Sz;

std::string Shown(const std::optional<StoredValue>& raw) {
  return raw ? stored::Shown(raw->type, raw->bytes) : "<none>";
}

class AddOnTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(frontend.Messages().empty()); }

  void SeedList(std::wstring_view text) { mem.SeedValue(kMachine, kHost, kList, kRegSz, Sz(text)); }
  std::optional<StoredValue> List() const { return Stored(kHost, kList); }
  int ListWrites() const {
    const MemoryRegistry::Node* host = Find(kHost);
    return host ? host->SetValueCount(kList) : 0;
  }
  static std::string Key(std::wstring_view name) {
    return ToAnsi(facts::kAddOnKeyPrefix + std::wstring(name));
  }
  // The key below HKEY_LOCAL_MACHINE, null when it does not exist.
  const MemoryRegistry::Node* Find(const std::string& path) const {
    return mem.Find(kMachine, path);
  }
  // Makes every write into the existing key fail.
  void FailWrites(const std::string& path) {
    MemoryRegistry::Node* key = mem.Edit(kMachine, path);
    ASSERT_NE(key, nullptr) << path;
    key->failSetValue = true;
  }
  // nullopt when the value or its key does not exist.
  std::optional<StoredValue> Stored(const std::string& path, std::string_view value) const {
    const MemoryRegistry::Node* key = Find(path);
    return key ? key->Value(value) : std::nullopt;
  }
  std::optional<StoredValue> Value(std::wstring_view name, const char* value) const {
    return Stored(Key(name), value);
  }

  bool Install(const std::wstring& name) {
    AddOnEintrag entry;
    entry.AddOnName = name;
    entry.KurzBeschreibung = L"Kurz";
    entry.ExeDateiname = L"C:\\" + name + L".exe";
    return AddOnEinrichten(registry, frontend, frontend, entry);
  }

  MemoryRegistry mem;
  FixedLocale locale;
  RecordingFrontend frontend;
  RegistryContext registry{mem, locale};
};

// --- How the list changes ----------------------------------------------------------------

enum class Op { Install, Remove };

struct ListRow {
  Op op;
  std::optional<std::wstring> before;  // nullopt: no "AddOns" value at all
  std::wstring name;
  std::optional<std::wstring> after;  // nullopt: not written
};

void PrintTo(const ListRow& row, std::ostream* out) {
  *out << (row.op == Op::Install ? "install" : "remove") << " ["
       << (row.before ? ToAnsi(*row.before) : "<missing>") << "] name [" << ToAnsi(row.name)
       << "] -> " << (row.after ? "[" + ToAnsi(*row.after) + "]" : "<not written>");
}

class ListTable : public AddOnTest, public ::testing::WithParamInterface<ListRow> {};

TEST_P(ListTable, ListAfterwards) {
  const ListRow& row = GetParam();
  // A missing list: on a fresh machine for an install, beside other host values for a remove.
  if (row.before) {
    SeedList(*row.before);
  } else if (row.op == Op::Remove) {
    mem.SeedKey(kMachine, kHost);
  }
  const std::optional<StoredValue> before = List();

  const bool ok = row.op == Op::Install ? Install(row.name)
                                        : AddOnEntfernen(registry, frontend, frontend, row.name);
  EXPECT_TRUE(ok);

  if (row.after) {
    EXPECT_EQ(ListWrites(), 1);
    EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(*row.after)})) << Shown(List());
  } else {
    EXPECT_EQ(ListWrites(), 0);
    EXPECT_EQ(List(), before) << Shown(List());
  }
  EXPECT_EQ(Find(Key(row.name)) != nullptr, row.op == Op::Install);
}

// · of the table is a blank here, Q a double quote.
INSTANTIATE_TEST_SUITE_P(
    Table, ListTable,
    ::testing::Values(
        ListRow{Op::Install, std::nullopt, L"X", L"X"}, ListRow{Op::Install, L"", L"X", L"X"},
        ListRow{Op::Install, L"A", L"X", L"A,X"}, ListRow{Op::Install, L"A,B", L"C", L"A,B,C"},
        ListRow{Op::Install, L"A,B,", L"C", L"A,B,C"},
        ListRow{Op::Install, L"A,B", L"b", std::nullopt},
        ListRow{Op::Install, L"A, B", L"B", L"A, B,B"}, ListRow{Op::Remove, L"A,B,C", L"B", L"A,C"},
        ListRow{Op::Remove, L"a,B,b", L"b", L"a,b"}, ListRow{Op::Remove, L"A", L"a", L""},
        ListRow{Op::Remove, L"A,B", L"C", std::nullopt},
        ListRow{Op::Remove, L"A, B ,C", L"b", std::nullopt},
        ListRow{Op::Remove, L"A , B,C", L"c", L"A,B"}, ListRow{Op::Remove, L"A,B,", L"A", L"B,"},
        ListRow{Op::Remove, L",A,B", L"B", L"A"}, ListRow{Op::Remove, L"A,,B", L"A", L"B"},
        ListRow{Op::Remove, L"A,,B", L"B", L"A,"}));

INSTANTIATE_TEST_SUITE_P(
    Quotes, ListTable,
    ::testing::Values(
        // The quotes go from the list once it is rebuilt.
        ListRow{Op::Remove, L"\"A\",B,C", L"C", L"A,B"},
        // The membership test does not look through quotes ...
        ListRow{Op::Remove, L"\"A\",B", L"A", std::nullopt},
        ListRow{Op::Install, L"\"A\",B", L"A", L"\"A\",B,A"},
        // Nor through blanks at the ends of the list.
        ListRow{Op::Install, L" A", L"A", L" A,A"},
        // ... but finds a name between commas inside a quoted element, which the walk then
        // does not remove; the list is written back without the quotes all the same.
        ListRow{Op::Remove, L"\"X,A,Y\",B", L"A", L"X,A,Y,B"}));

INSTANTIATE_TEST_SUITE_P(EmptyName, ListTable,
                         ::testing::Values(ListRow{Op::Install, std::nullopt, L"", std::nullopt},
                                           ListRow{Op::Install, L"", L"", std::nullopt},
                                           ListRow{Op::Install, L"A,,B", L"", std::nullopt},
                                           ListRow{Op::Install, L",A", L"", std::nullopt},
                                           ListRow{Op::Install, L"A,", L"", std::nullopt},
                                           ListRow{Op::Install, L"A,B", L"", L"A,B,"},
                                           ListRow{Op::Remove, L"A,B,", L"", L"A,B"},
                                           ListRow{Op::Remove, L"A,,B", L"", L"A,B"},
                                           ListRow{Op::Remove, L"A,B", L"", std::nullopt},
                                           ListRow{Op::Remove, L"", L"", L""},
                                           ListRow{Op::Remove, std::nullopt, L"", L""}));

INSTANTIATE_TEST_SUITE_P(
    LetterCase, ListTable,
    ::testing::Values(ListRow{Op::Install, L"vellumar", L"VELLUMAR", std::nullopt},
                      ListRow{Op::Install, L"\u00e4rger", L"\u00c4RGER", std::nullopt},
                      ListRow{Op::Install, L"ma\u00df", L"MASS", L"ma\u00df,MASS"},
                      ListRow{Op::Remove, L"x,\u00c4rger,y", L"\u00e4rger", L"x,y"},
                      ListRow{Op::Remove, L"\u00d6l,\u00f6l", L"\u00f6L", L"\u00f6l"}));

// --- A list that cannot be read ----------------------------------------------------------

// The list is there but is no REG_SZ text, or its read fails: whatever the run, nothing in the
// registry changes and the run fails. Rebuilding the list from such a read would keep only the
// new name.
struct UnreadableList {
  const char* label;
  std::uint32_t type;
  Bytes bytes;
  bool failRead = false;  // stored as text, but every read of it fails
};

void PrintTo(const UnreadableList& row, std::ostream* out) { *out << row.label; }

class UnreadableListTable : public AddOnTest,
                            public ::testing::WithParamInterface<UnreadableList> {};

TEST_P(UnreadableListTable, ChangesNothingAndFails) {
  const UnreadableList& row = GetParam();
  for (const Op op : {Op::Install, Op::Remove}) {
    MemoryRegistry fresh;
    RegistryContext context{fresh, locale};
    fresh.SeedValue(kMachine, kHost, kList, row.type, row.bytes);
    fresh.SeedValue(kMachine, Key(L"Beta"), "AddOnName", kRegSz, Sz(L"Beta"));
    fresh.Edit(kMachine, kHost)->failRead = row.failRead;
    const std::string before = fresh.Dump();

    AddOnEintrag entry;
    entry.AddOnName = L"Beta";
    entry.ExeDateiname = L"C:\\Beta.exe";
    const bool ok = op == Op::Install ? AddOnEinrichten(context, frontend, frontend, entry)
                                      : AddOnEntfernen(context, frontend, frontend, L"Beta");

    EXPECT_FALSE(ok) << (op == Op::Install ? "install" : "remove");
    EXPECT_EQ(fresh.Changes(), 0) << (op == Op::Install ? "install" : "remove");
    EXPECT_EQ(fresh.Dump(), before) << (op == Op::Install ? "install" : "remove");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Types, UnreadableListTable,
    ::testing::Values(UnreadableList{"ExpandSz", ModulRegistrierung::kRegExpandSz,
                                     Sz(L"Alpha,Beta")},
                      UnreadableList{"MultiSz",
                                     ModulRegistrierung::kRegMultiSz,
                                     {'A', 'l', 'p', 'h', 'a', 0, 'B', 'e', 't', 'a', 0, 0}},
                      UnreadableList{"Binary", ModulRegistrierung::kRegBinary, Sz(L"Alpha,Beta")},
                      UnreadableList{"Dword", kRegDword, {1, 0, 0, 0}},
                      UnreadableList{"EightByteDword", kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}},
                      UnreadableList{"FailedRead", kRegSz, Sz(L"Alpha,Beta"), true}),
    [](const ::testing::TestParamInfo<UnreadableList>& info) { return info.param.label; });

// --- The add-on key and its nine values --------------------------------------------------

const char* const kNineValues[] = {
    "AddOnName",        "EinbindungsModus",        "ExeDateiname",
    "ParameterFest",    "ParameterZusatz",         "KurzBeschreibung",
    "LangBeschreibung", "SpezialButtonGrafikName", "SpezialButtonToolTiptext"};

AddOnEintrag FullEntry() {
  AddOnEintrag e;
  e.AddOnName = L"Vellumar";
  e.EinbindungsModus = -2;
  e.ExeDateiname = L"C:\\Programme\\Vellumar.exe";
  e.ParameterFest = L"";
  e.ParameterZusatz = 0x01020304;
  e.KurzBeschreibung = L"Videoetiketten drucken";
  e.LangBeschreibung = L"\u00dcber Etiketten f\u00fcr H\u00fcllen";
  e.SpezialButtonGrafikName = L"AddOn";
  e.SpezialButtonToolTiptext = L"Etiketten";
  return e;
}

TEST_F(AddOnTest, NewKeyGetsTheClassAndTheNineValuesInTheirOrder) {
  EXPECT_TRUE(AddOnEinrichten(registry, frontend, frontend, FullEntry()));

  // The host's layout spelt out once, as the host reads it.
  const MemoryRegistry::Node* key = Find("software\\Orvo\\Brannick\\Brannick\\AddOn_Vellumar");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->keyClass, "Anwendungsdaten");
  EXPECT_EQ(Find(kHost)->SubKeyNames(), std::vector<std::string>{"AddOn_Vellumar"});
  EXPECT_EQ(key->ValueNames(),
            std::vector<std::string>(std::begin(kNineValues), std::end(kNineValues)));
  for (const char* name : kNineValues) {
    EXPECT_EQ(key->SetValueCount(name), 1) << name;
  }
  EXPECT_EQ(Stored("software\\Orvo\\Brannick\\Brannick", "AddOns"),
            (StoredValue{kRegSz, Sz(L"Vellumar")}))
      << Shown(List());
}

TEST_F(AddOnTest, StoredBytesOfTheNineValues) {
  ASSERT_TRUE(AddOnEinrichten(registry, frontend, frontend, FullEntry()));

  const struct {
    const char* name;
    StoredValue raw;
  } expected[] = {
      {"AddOnName", {kRegSz, Sz(L"Vellumar")}},
      {"EinbindungsModus", {kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}}},
      {"ExeDateiname", {kRegSz, Sz(L"C:\\Programme\\Vellumar.exe")}},
      {"ParameterFest", {kRegSz, {0x00}}},
      {"ParameterZusatz", {kRegDword, {0x04, 0x03, 0x02, 0x01}}},
      {"KurzBeschreibung", {kRegSz, Sz(L"Videoetiketten drucken")}},
      // Windows-1252: Ü is DC, ü is FC.
      {"LangBeschreibung", {kRegSz, Sz(L"\u00dcber Etiketten f\u00fcr H\u00fcllen")}},
      {"SpezialButtonGrafikName", {kRegSz, Sz(L"AddOn")}},
      {"SpezialButtonToolTiptext", {kRegSz, Sz(L"Etiketten")}},
  };
  for (const auto& [name, raw] : expected) {
    EXPECT_EQ(Value(L"Vellumar", name), raw) << name;
  }
  EXPECT_EQ(Value(L"Vellumar", "LangBeschreibung")->bytes.front(), 0xDC);
}

TEST_F(AddOnTest, ExtremeNumbersAreStoredAsTheirFourBytes) {
  AddOnEintrag e = FullEntry();
  e.EinbindungsModus = INT32_MIN;
  e.ParameterZusatz = INT32_MAX;
  ASSERT_TRUE(AddOnEinrichten(registry, frontend, frontend, e));
  EXPECT_EQ(Value(L"Vellumar", "EinbindungsModus"),
            (StoredValue{kRegDword, {0x00, 0x00, 0x00, 0x80}}));
  EXPECT_EQ(Value(L"Vellumar", "ParameterZusatz"),
            (StoredValue{kRegDword, {0xFF, 0xFF, 0xFF, 0x7F}}));
}

TEST_F(AddOnTest, ExistingKeyKeepsItsClassAndForeignValues) {
  mem.SeedKey(kMachine, Key(L"Vellumar"), "Fremdklasse");
  mem.SeedValue(kMachine, Key(L"Vellumar"), "Lizenz", 3, {1, 2, 3});
  mem.SeedValue(kMachine, Key(L"Vellumar"), "KurzBeschreibung", kRegSz, Sz(L"alt"));

  EXPECT_TRUE(AddOnEinrichten(registry, frontend, frontend, FullEntry()));

  const MemoryRegistry::Node* key = Find(Key(L"Vellumar"));
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->keyClass, "Fremdklasse");
  EXPECT_EQ(Value(L"Vellumar", "Lizenz"), (StoredValue{3, {1, 2, 3}}));
  EXPECT_EQ(Value(L"Vellumar", "KurzBeschreibung"),
            (StoredValue{kRegSz, Sz(L"Videoetiketten drucken")}));
  EXPECT_EQ(key->values.size(), 10u);
}

TEST_F(AddOnTest, ReinstallUnderAnotherLetterCaseReusesTheKey) {
  ASSERT_TRUE(Install(L"Vellumar"));
  AddOnEintrag updated = FullEntry();
  updated.AddOnName = L"VELLUMAR";
  updated.KurzBeschreibung = L"Neu";

  EXPECT_TRUE(AddOnEinrichten(registry, frontend, frontend, updated));

  // The key keeps the letter case of its first registration, the value takes the new one.
  EXPECT_EQ(Find(kHost)->SubKeyNames(), std::vector<std::string>{"AddOn_Vellumar"});
  EXPECT_EQ(Value(L"Vellumar", "AddOnName"), (StoredValue{kRegSz, Sz(L"VELLUMAR")}));
  EXPECT_EQ(Value(L"Vellumar", "KurzBeschreibung"), (StoredValue{kRegSz, Sz(L"Neu")}));
  EXPECT_EQ(Find(Key(L"Vellumar"))->SetValueCount("AddOnName"), 2);
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"Vellumar")})) << Shown(List());
  EXPECT_EQ(ListWrites(), 1);
}

TEST_F(AddOnTest, EmptyNameUsesTheBareKeyPrefix) {
  EXPECT_TRUE(Install(L""));
  EXPECT_EQ(Find(kHost)->SubKeyNames(), std::vector<std::string>{"AddOn_"});
  EXPECT_EQ(Value(L"", "AddOnName"), (StoredValue{kRegSz, {0x00}}));

  EXPECT_TRUE(AddOnEntfernen(registry, frontend, frontend, L""));
  EXPECT_EQ(Find(Key(L"")), nullptr);
  EXPECT_NE(Find(kHost), nullptr);
}

// --- Removing ----------------------------------------------------------------------------

TEST_F(AddOnTest, RemoveDeletesAKeyThatHasNoListEntry) {
  SeedList(L"A,B");
  mem.SeedValue(kMachine, Key(L"Vellumar"), "AddOnName", kRegSz, Sz(L"Vellumar"));

  EXPECT_TRUE(AddOnEntfernen(registry, frontend, frontend, L"Vellumar"));

  EXPECT_EQ(Find(Key(L"Vellumar")), nullptr);
  EXPECT_EQ(ListWrites(), 0);
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A,B")})) << Shown(List());
}

TEST_F(AddOnTest, RemoveUpdatesAListEntryThatHasNoKey) {
  SeedList(L"A,Vellumar,B");
  EXPECT_TRUE(AddOnEntfernen(registry, frontend, frontend, L"vellumar"));
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A,B")})) << Shown(List());
}

TEST_F(AddOnTest, InstallThenRemoveLeavesTheListAsItWas) {
  SeedList(L"A,B");
  const std::string before = mem.Dump();
  ASSERT_TRUE(Install(L"Vellumar"));
  ASSERT_TRUE(AddOnEntfernen(registry, frontend, frontend, L"Vellumar"));
  EXPECT_EQ(mem.Dump(), before);
}

TEST_F(AddOnTest, KeyThatCannotBeDeletedFailsButTheListIsStillUpdated) {
  SeedList(L"A,Vellumar");
  // A key with a sub-key cannot be deleted by RegDeleteKey.
  mem.SeedKey(kMachine, Key(L"Vellumar") + "\\Unterschluessel");

  EXPECT_FALSE(AddOnEntfernen(registry, frontend, frontend, L"Vellumar"));

  EXPECT_NE(Find(Key(L"Vellumar")), nullptr);
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A")})) << Shown(List());
}

// --- Failed writes: reported, and nothing else changes -----------------------------------

TEST_F(AddOnTest, RefusedValueWritesFailButTheListIsStillWritten) {
  SeedList(L"A");
  mem.SeedKey(kMachine, Key(L"Vellumar"), kClass);
  ASSERT_NO_FATAL_FAILURE(FailWrites(Key(L"Vellumar")));
  MemoryRegistry intact;
  intact.SeedValue(kMachine, kHost, kList, kRegSz, Sz(L"A"));
  intact.SeedKey(kMachine, Key(L"Vellumar"), kClass);
  RecordingFrontend noBoxes;

  EXPECT_FALSE(AddOnEinrichten(registry, frontend, frontend, FullEntry()));
  ASSERT_TRUE(AddOnEinrichten(RegistryContext{intact, locale}, noBoxes, noBoxes, FullEntry()));

  // All nine writes were tried; only the add-on key differs from a good run.
  for (const char* name : kNineValues) {
    EXPECT_EQ(Find(Key(L"Vellumar"))->SetValueCount(name), 1) << name;
  }
  EXPECT_TRUE(Find(Key(L"Vellumar"))->values.empty());
  const std::vector<MemoryRegistry::KeyPath> exceptKey{{kMachine, Key(L"Vellumar")}};
  EXPECT_EQ(mem.Dump(exceptKey), intact.Dump(exceptKey));
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A,Vellumar")})) << Shown(List());
}

TEST_F(AddOnTest, RefusedListWriteFailsButTheValuesAreWritten) {
  SeedList(L"A");
  ASSERT_NO_FATAL_FAILURE(FailWrites(kHost));
  MemoryRegistry intact;
  RecordingFrontend noBoxes;

  EXPECT_FALSE(AddOnEinrichten(registry, frontend, frontend, FullEntry()));
  ASSERT_TRUE(AddOnEinrichten(RegistryContext{intact, locale}, noBoxes, noBoxes, FullEntry()));

  EXPECT_EQ(ListWrites(), 1);
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A")})) << Shown(List());
  const MemoryRegistry::Node* key = Find(Key(L"Vellumar"));
  const MemoryRegistry::Node* intactKey = intact.Find(kMachine, Key(L"Vellumar"));
  ASSERT_TRUE(key && intactKey);
  EXPECT_EQ(key->keyClass, kClass);
  for (const char* name : kNineValues) EXPECT_EQ(key->Value(name), intactKey->Value(name)) << name;
}

TEST_F(AddOnTest, RefusedListWriteOnRemoveFailsButTheKeyIsDeleted) {
  SeedList(L"A,Vellumar");
  mem.SeedKey(kMachine, Key(L"Vellumar"), kClass);
  ASSERT_NO_FATAL_FAILURE(FailWrites(kHost));

  EXPECT_FALSE(AddOnEntfernen(registry, frontend, frontend, L"Vellumar"));

  EXPECT_EQ(Find(Key(L"Vellumar")), nullptr);
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A,Vellumar")})) << Shown(List());
}

TEST_F(AddOnTest, KeyThatCannotBeCreatedFailsButTheListIsStillWritten) {
  // A key name longer than the registry allows: the key is refused, the host key is not.
  const std::wstring longName(300, L'x');
  SeedList(L"A");

  EXPECT_FALSE(Install(longName));

  EXPECT_EQ(Find(Key(longName)), nullptr);
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A," + longName)})) << Shown(List());
}

TEST_F(AddOnTest, ExistingKeyThatRefusesWritingChangesNothing) {
  // As the binding answers for a registry link or a key without write rights: the add-on is not
  // listed without its values.
  mem.SeedKey(kMachine, Key(L"Fest"), "Anwendungsdaten");
  mem.Edit(kMachine, Key(L"Fest"))->refuseWrite = true;
  SeedList(L"A");

  EXPECT_FALSE(Install(L"Fest"));

  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(L"A")})) << Shown(List());
  EXPECT_EQ(ListWrites(), 0);
  EXPECT_TRUE(Find(Key(L"Fest"))->ValueNames().empty());
}

TEST_F(AddOnTest, NotWrittenListIsNoFailure) {
  SeedList(L"Vellumar");
  EXPECT_TRUE(Install(L"vellumar"));
  EXPECT_TRUE(AddOnEntfernen(registry, frontend, frontend, L"Andere"));
  EXPECT_EQ(ListWrites(), 0);
}

// --- Long lists --------------------------------------------------------------------------

TEST_F(AddOnTest, LongListKeepsEveryOtherName) {
  std::wstring list;
  for (int i = 0; i < 100000; ++i) {
    if (i) list += L',';
    list += L"n" + std::to_wstring(i);
  }
  SeedList(list);

  ASSERT_TRUE(AddOnEntfernen(registry, frontend, frontend, L"N50000"));
  ASSERT_TRUE(Install(L"neu"));

  std::wstring expected = list;
  expected.erase(expected.find(L",n50000,"), 7);
  expected += L",neu";
  EXPECT_EQ(List(), (StoredValue{kRegSz, Sz(expected)})) << Shown(List());
}

}  // namespace

}  // namespace quillet
