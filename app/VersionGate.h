// The host version gate: refuses to run beside an outdated host and offers its download page.
#pragma once

#include <string>

#include "app/Frontend.h"
#include "registry/ModulRegistrierung.h"

namespace quillet {

// True when `version` (the recorded text, untrimmed) is an outdated host version.
bool IsOutdatedHostVersion(const std::wstring& version);

// Reads the recorded host version; for an outdated host asks the download question and, on
// Yes, opens the download address. True when the run may go on, false when the gate ended it.
bool CheckHostVersion(const ModulRegistrierung::RegistryContext& registry, Frontend& frontend);

}  // namespace quillet
