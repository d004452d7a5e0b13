// What an installer needs to take one add-on change back: the add-on's key as it was before
// (class and values, or that there was none) and what the change did to the host's add-on list
// (its own name added, or removed at which place). An install or removal records this before
// its first write; the installer's rollback puts exactly that back and nothing else, so names
// that other runs added to the list meanwhile stay where they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/Frontend.h"
#include "registry/ModulRegistrierung.h"

namespace quillet {

enum class UndoWork : std::uint8_t { Install = 1, Remove = 2 };
enum class ListChange : std::uint8_t { None = 0, Added = 1, Removed = 2 };

struct UndoRecord {
  UndoWork work = UndoWork::Install;
  std::wstring name;
  // The add-on's key before the change; nullopt when there was none.
  std::optional<ModulRegistrierung::KeyContents> keyBefore;
  ListChange list = ListChange::None;
  // Removed: the place (from 0, as the list's elements are counted) the name was taken from.
  std::uint32_t position = 0;
  friend bool operator==(const UndoRecord&, const UndoRecord&) = default;
};

// The record of the change that an install (or removal) of `name` is about to make, read from
// the registry as it is now. Call it under the add-on list lock, before the first write.
UndoRecord RecordBeforeChange(const ModulRegistrierung::RegistryContext& registry,
                              Frontend& frontend, UndoWork work, const std::wstring& name);

// Puts back what `record` says the change altered: the key (deleted, or restored with its class
// and values) and the list (its own name taken out again, or put back at its place). False when
// a write failed.
bool UndoChange(const ModulRegistrierung::RegistryContext& registry, Frontend& frontend,
                const UndoRecord& record);

// The record as bytes for a file, and back; nullopt for bytes that are no whole record.
std::string SerializedUndoRecord(const UndoRecord& record);
std::optional<UndoRecord> ParsedUndoRecord(std::string_view bytes);

}  // namespace quillet
