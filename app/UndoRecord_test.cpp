#include "app/UndoRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AddOn.h"
#include "app/UndoRecordFormat.h"
#include "testing/FixedLocale.h"
#include "testing/MemoryRegistry.h"
#include "testing/RecordingFrontend.h"
#include "testing/StoredBytes.h"

namespace quillet {

namespace {

namespace mr = ModulRegistrierung;
constexpr mr::Root kHklm = mr::Root::LocalMachine;
const std::string kHost = "software\\Orvo\\Brannick\\Brannick";
const std::string kKey = "software\\Orvo\\Brannick\\Brannick\\AddOn_Beta";

mr::StoredValue Sz(const std::string& text) { return {mr::kRegSz, stored::Sz(text)}; }

struct UndoCase {
  const char* what;
  bool install;
  std::optional<mr::KeyContents> keyBefore;  // seeded before the run
  std::string listBefore;
  std::string listAfterUndo;  // after another run appended "Fremd" in between
  // Another run registers "Beta" anew between the change and its undo: the undo must leave that
  // registration (key and list) as it finds it.
  bool reRegisteredSince = false;
};

// The change made for real by the add-on work, another run's name appended meanwhile, then the
// record (through its bytes) undone: the key is as it was and the list differs only by the other
// run's name.
TEST(UndoRecord, TakesBackExactlyItsOwnChangeAndKeepsWhatOtherRunsAdded) {
  const mr::KeyContents foreign{"Alt", {{"Eigen", Sz("x")}, {"ExeDateiname", Sz("C:\\alt.exe")}}};
  const UndoCase cases[] = {
      {"install, new key, name appended", true, std::nullopt, "Alpha,Gamma", "Alpha,Gamma,Fremd"},
      {"install over a key and a listed name", true, foreign, "Alpha,beta", "Alpha,beta,Fremd"},
      {"remove from the middle", false, foreign, "Alpha,Beta,Gamma", "Alpha,Beta,Gamma,Fremd"},
      {"remove, nothing there", false, std::nullopt, "Alpha", "Alpha,Fremd"},
      {"install, then another run's registration", true, std::nullopt, "Alpha", "Alpha,Beta,Fremd",
       true},
      {"remove, then another run's registration", false, foreign, "Alpha,Beta", "Alpha,Beta,Fremd",
       true},
  };
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.what);
    mr::MemoryRegistry store;
    FixedLocale locale;
    RecordingFrontend frontend;
    const mr::RegistryContext registry{store, locale};
    store.SeedValue(kHklm, kHost, "AddOns", 1, Sz(c.listBefore).bytes);
    if (c.keyBefore) {
      store.SeedKey(kHklm, kKey, c.keyBefore->keyClass);
      for (const auto& [name, value] : c.keyBefore->values) {
        store.SeedValue(kHklm, kKey, name, value.type, value.bytes);
      }
    }

    AddOnEintrag entry;
    entry.AddOnName = L"Beta";
    entry.ExeDateiname = L"C:\\Beta.exe";
    const std::optional<UndoRecord> made = RecordBeforeChange(
        registry, frontend, L"{Lauf}", c.install ? UndoWork::Install : UndoWork::Remove, entry);
    ASSERT_TRUE(made);
    const UndoRecord& record = *made;
    ASSERT_TRUE(c.install ? AddOnEinrichten(registry, frontend, frontend, entry)
                          : AddOnEntfernen(registry, frontend, frontend, L"Beta"));
    std::optional<mr::KeyContents> otherRun;
    if (c.reRegisteredSince) {
      AddOnEintrag other = entry;
      other.ExeDateiname = L"C:\\Anderswo\\Beta.exe";
      ASSERT_TRUE(AddOnEinrichten(registry, frontend, frontend, other));
      otherRun = store.ReadKey(kHklm, kKey);
    }
    const mr::ValueRead changed = store.ReadValue(kHklm, kHost, "AddOns");
    std::string list(changed.value.bytes.begin(), changed.value.bytes.end() - 1);
    store.WriteValue(kHklm, kHost, "AddOns", Sz(list + ",Fremd"));

    const std::optional<UndoRecord> parsed = ParsedUndoRecord(SerializedUndoRecord(record));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, record);
    EXPECT_EQ(UndoChange(registry, frontend, frontend, *parsed),
              c.reRegisteredSince ? UndoOutcome::NotOurs : UndoOutcome::Undone);

    EXPECT_EQ(store.ReadKey(kHklm, kKey), c.reRegisteredSince ? otherRun : c.keyBefore);
    EXPECT_EQ(store.ReadValue(kHklm, kHost, "AddOns").value, Sz(c.listAfterUndo));
  }
}

TEST(UndoRecord, BytesThatAreNoWholeRecordAreRefused) {
  UndoRecord record;
  record.run = L"{Produkt}#0123";
  record.work = UndoWork::Remove;
  record.name = L"Merkzettel";
  record.keyBefore = mr::KeyContents{"Anwendungsdaten", {{"AddOnName", Sz("Merkzettel")}}};
  record.list = ListChange::Removed;
  record.position = 3;
  record.written = {{"ExeDateiname", Sz("C:\\m.exe")}};
  const std::string bytes = SerializedUndoRecord(record);
  ASSERT_EQ(ParsedUndoRecord(bytes), record);
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_FALSE(ParsedUndoRecord(bytes.substr(0, length))) << length;
  }
  EXPECT_FALSE(ParsedUndoRecord(bytes + 'x'));
  std::string otherWork = bytes;
  otherWork[13 + 4 + 2 * record.run.size()] = 7;
  EXPECT_FALSE(ParsedUndoRecord(otherWork));
}

}  // namespace

}  // namespace quillet
