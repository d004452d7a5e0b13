// The undo record of a deferred action: written under the add-on list lock before the first
// write, read by the rollback action, deleted by the commit action.
#pragma once

#include <string>

#include "app/AddOnJournal.h"
#include "win32/dll/msi/UndoFolder.h"

namespace quillet::msi {

class MsiJournal : public AddOnJournal {
 public:
  // `folder`, `fileName`: where the record goes (nothing may be there yet); `run`: what binds
  // it to this run (the product code and the installation's token).
  MsiJournal(const UndoFolder& folder, std::wstring fileName, std::wstring run)
      : folder_(folder), fileName_(std::move(fileName)), run_(std::move(run)) {}

  bool BeforeFirstWrite(const ModulRegistrierung::RegistryContext& registry, Prompts& prompts,
                        RunLog& log, bool install, const AddOnEintrag& entry) override;

 private:
  const UndoFolder& folder_;
  std::wstring fileName_;
  std::wstring run_;
};

}  // namespace quillet::msi
