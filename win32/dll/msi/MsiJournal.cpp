#include "win32/dll/msi/MsiJournal.h"

#include <optional>

#include "app/UndoRecord.h"
#include "app/UndoRecordFormat.h"

namespace quillet::msi {

bool MsiJournal::BeforeFirstWrite(const ModulRegistrierung::RegistryContext& registry,
                                  Prompts& prompts, RunLog& log, bool install,
                                  const AddOnEintrag& entry) {
  const std::optional<UndoRecord> record = RecordBeforeChange(
      registry, prompts, run_, install ? UndoWork::Install : UndoWork::Remove, entry);
  if (!record) {
    log.Log(L"undo record not written (a value has no stored form): nothing changed");
    return false;
  }
  const std::string bytes = SerializedUndoRecord(*record);
  if (bytes.size() > kMaxUndoRecordSize) {
    log.Log(
        L"undo record not written (the add-on's key is too large to keep): nothing "
        L"changed");
    return false;
  }
  if (folder_.Write(fileName_, bytes) != RecordOutcome::Done) {
    log.Log(L"undo record not written: " + fileName_ + L": nothing changed");
    return false;
  }
  log.Log(L"undo record written: " + fileName_);
  return true;
}

}  // namespace quillet::msi
