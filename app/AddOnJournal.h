// A record keeper the add-on work can be given: an installer that must be able to take the work
// back (an MSI rollback) records the state before it, under the add-on list lock, before the
// first write. The exe has none.
#pragma once

#include <string>

#include "app/AddOnEintrag.h"
#include "app/Frontend.h"
#include "registry/ModulRegistrierung.h"

namespace quillet {

class AddOnJournal {
 public:
  virtual ~AddOnJournal() = default;
  // Called once, under the lock, before an install (`install`: `entry` as it will be written)
  // or removal of `entry.AddOnName` writes anything. False when the record could not be kept:
  // nothing is written then, and the run ends as after a failed write.
  virtual bool BeforeFirstWrite(const ModulRegistrierung::RegistryContext& registry,
                                Prompts& prompts, RunLog& log, bool install,
                                const AddOnEintrag& entry) = 0;
};

}  // namespace quillet
