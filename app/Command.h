// The command text, read once: the silent switch, the fields, what they ask for and the add-on's
// name. Every host hands its text to ReadCommand and the pass works on the result; an MSI action
// names its undo record from the same value, so there is one rule for each of these facts.
#pragma once

#include <string>

#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet {

// What a run does with the add-on record; the fields decide it, and the pass's checks may
// withdraw it.
enum class RunMode { None = 0, Install = 1, Remove = 2 };

struct Command {
  // A leading "-s" (either case): no status window and no pause.
  bool silent = false;
  // The fields after the switch, as the splitter gives them (not trimmed).
  ModulTextZeile2CollectionArray::FieldList fields;
  // None when there is no field (the usage message); Remove for one or two, Install for more.
  RunMode mode = RunMode::None;
  // The first field, trimmed; empty when there is none.
  std::wstring name;
};

Command ReadCommand(std::wstring text);

}  // namespace quillet
