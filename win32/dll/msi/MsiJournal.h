// The undo record of a deferred action: written under the add-on list lock before the first
// write, read by the rollback action, deleted by the commit action.
#pragma once

#include <string>

#include "app/AddOnJournal.h"

namespace quillet::msi {

class MsiJournal : public AddOnJournal {
 public:
  // `productCode`: the package's ProductCode, which with the add-on's name names the record.
  explicit MsiJournal(std::wstring productCode) : productCode_(std::move(productCode)) {}

  bool BeforeFirstWrite(const ModulRegistrierung::RegistryContext& registry, Frontend& frontend,
                        bool install, const std::wstring& name) override;

 private:
  std::wstring productCode_;
};

}  // namespace quillet::msi
