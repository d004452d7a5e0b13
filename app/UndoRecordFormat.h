// An undo record as the bytes of a file, and back. Versioned by its first line: a reader takes
// only its own version, so a record from another version of the DLL is no record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/UndoRecord.h"

namespace quillet {

std::string SerializedUndoRecord(const UndoRecord& record);
// nullopt for bytes that are no whole record of this version.
std::optional<UndoRecord> ParsedUndoRecord(std::string_view bytes);

}  // namespace quillet
