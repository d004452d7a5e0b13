// The single pass from start to exit.
#pragma once

#include "app/Platform.h"
#include "registry/RegistryPlatform.h"

namespace quillet {

// How a run ended; the Windows main makes it the process's exit status.
enum class ExitStatus : int {
  Done = 0,            // the install or remove was carried out
  RegistryFailed = 1,  // a value or list write, or deleting an existing add-on key, failed
  Refused = 2,         // nothing done because of the command line (usage, bad name, overflow)
  HostOutdated = 3,    // the host version gate ended the run
};

// Runs the whole pass: version gate, command line, name check, status window, registry work,
// pause and unload. Returns instead of ending the process.
ExitStatus RunPass(Platform& platform, ModulRegistrierung::RegistryPlatform& registry);

}  // namespace quillet
