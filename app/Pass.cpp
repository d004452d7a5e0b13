// Placeholder until this module is written.
#include "app/Pass.h"

ExitStatus RunPass(Platform&, ModulRegistrierung::RegistryPlatform&) { return ExitStatus::Done; }
