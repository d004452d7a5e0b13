// The single pass from start to exit, in two steps that a host may also run apart: the host
// version gate, and the add-on work after it.
#pragma once

#include <string>

#include "app/AddOnJournal.h"
#include "app/Command.h"
#include "app/Frontend.h"
#include "registry/Locale.h"
#include "registry/RegistryStore.h"

namespace quillet {

// How a run ended; the Windows main makes it the process's exit status.
enum class ExitStatus : int {
  Done = 0,  // the install or remove was carried out (or the gate let the run go on)
  // A value or list write, or deleting an existing add-on key, failed; or nothing was changed
  // because the add-on list cannot be read as text, or the program path has no ANSI form.
  RegistryFailed = 1,
  Refused = 2,       // nothing done because of the command line (usage, bad name, overflow)
  HostOutdated = 3,  // the host version gate ended the run
};

// What the pass works on besides its frontend: the registry and the conversions at its boundary.
struct Stores {
  ModulRegistrierung::RegistryStore& registry;
  ModulRegistrierung::Locale& locale;
};

// The version gate alone: Done when the run may go on, HostOutdated after the download
// question was asked (and the page opened on Yes).
ExitStatus RunVersionGate(Frontend& frontend, const Stores& stores);

// Everything after the gate, for the command as ReadCommand read it: the record from the fields,
// the name check, the status window, completing a bare program name, the lock, the registry
// work, the pause and the unload. A bare program name is refused (Refused) when the frontend
// names no folder of its own. `journal`, when given, records the state before the first write,
// under the lock.
ExitStatus RunAddOnWork(Frontend& frontend, const Stores& stores, const Command& command,
                        AddOnJournal* journal = nullptr);

// Both in this order, for `commandText` (what follows the program's name on its command line, a
// leading "-s" included), as quillet.exe runs them. Returns instead of ending the process.
ExitStatus RunPass(Frontend& frontend, const Stores& stores, std::wstring commandText);

}  // namespace quillet
