// What an installer needs to take one add-on change back: which run it belongs to, the add-on's
// key as it was before (class and values, or that there was none), the values the change writes,
// and what the change did to the host's add-on list (its own name added, or removed at which
// place). An install or removal records this before its first write. The rollback puts exactly
// that back, and only while the key still holds what this run left there: a registration that
// another run made since stays, and so do names that other runs added to the list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/AddOnEintrag.h"
#include "app/Frontend.h"
#include "registry/ModulRegistrierung.h"

namespace quillet {

enum class UndoWork : std::uint8_t { Install = 1, Remove = 2 };
enum class ListChange : std::uint8_t { None = 0, Added = 1, Removed = 2 };

struct UndoRecord {
  // The run the record belongs to (an installer's ProductCode); the rollback compares it.
  std::wstring run;
  UndoWork work = UndoWork::Install;
  std::wstring name;
  // The add-on's key before the change; nullopt when there was none.
  std::optional<ModulRegistrierung::KeyContents> keyBefore;
  // Install: the values it writes, by name, as they are stored.
  std::vector<std::pair<std::string, ModulRegistrierung::StoredValue>> written;
  ListChange list = ListChange::None;
  // Removed: the place (from 0, as the list's elements are counted) the name was taken from.
  std::uint32_t position = 0;
  friend bool operator==(const UndoRecord&, const UndoRecord&) = default;
};

// The record of the change that an install (`work` Install: `entry` as it will be written) or a
// removal of `entry.AddOnName` is about to make, read from the registry as it is now. Call it
// under the add-on list lock, before the first write. nullopt when a value of `entry` has no
// stored form (nothing would be written then either).
std::optional<UndoRecord> RecordBeforeChange(const ModulRegistrierung::RegistryContext& registry,
                                             Prompts& prompts, std::wstring run, UndoWork work,
                                             const AddOnEintrag& entry);

enum class UndoOutcome {
  Undone,      // the key and the list are as they were before the change
  NotOurs,     // another run changed the key since: nothing was touched
  Incomplete,  // a write failed
};

// Puts back what `record` says the change altered, where the key still holds what the change
// left: the key (deleted, or restored with its class and values) and the list (its own name
// taken out again, or put back at its place).
UndoOutcome UndoChange(const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                       RunLog& log, const UndoRecord& record);

}  // namespace quillet
