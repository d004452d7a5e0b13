#include "win32/dll/msi/MsiJournal.h"

#include "app/UndoRecord.h"
#include "win32/dll/msi/UndoFolder.h"

namespace quillet::msi {

bool MsiJournal::BeforeFirstWrite(const ModulRegistrierung::RegistryContext& registry,
                                  Frontend& frontend, bool install, const std::wstring& name) {
  const UndoRecord record =
      RecordBeforeChange(registry, frontend, install ? UndoWork::Install : UndoWork::Remove, name);
  const std::wstring file = UndoFileName(productCode_, name);
  if (!WriteUndoFile(file, SerializedUndoRecord(record))) {
    frontend.Log(L"undo record not written: " + (file.empty() ? name : file));
    return false;
  }
  frontend.Log(L"undo record written: " + file);
  return true;
}

}  // namespace quillet::msi
