// The custom actions of a Windows Installer package, each framed the same way: enter, read the
// session, run its step of the pass, log the outcome, map it to the installer's return value.
//   MsiCheck    immediate: the version gate only
//   MsiInstall  deferred: the registry work of an install, undo record first
//   MsiRemove   deferred: the registry work of a removal, undo record first; never fails
//   MsiRollback rollback: takes back exactly what the deferred action recorded
//   MsiCommit   commit: deletes the record
#include <windows.h>
// After windows.h, which they need.
#include <msi.h>
#include <msiquery.h>

#include <string>

#include "app/Modul.h"
#include "app/Pass.h"
#include "app/UndoRecord.h"
#include "text/Characters.h"
#include "text/DecimalText.h"
#include "text/ModulTextZeile2CollectionArray.h"
#include "win32/dll/GuestEntry.h"
#include "win32/dll/GuestStores.h"
#include "win32/dll/msi/InstallerSession.h"
#include "win32/dll/msi/MsiFrontend.h"
#include "win32/dll/msi/MsiJournal.h"
#include "win32/dll/msi/UndoFolder.h"

namespace quillet::msi {

namespace {

// A deferred action's data: "<add-on folder>|<command text>", cut at the first bar (a Windows
// path holds none; the command text may).
struct ActionData {
  std::wstring folder;
  std::wstring commandText;
};

ActionData ReadActionData(Session& session) {
  const std::wstring data = session.Property(L"CustomActionData");
  const std::size_t bar = data.find(L'|');
  if (bar == std::wstring::npos) return ActionData{L"", data};
  return ActionData{data.substr(0, bar), data.substr(bar + 1)};
}

// The add-on's name as the pass would read it from `commandText`; empty when it is none the
// pass would accept.
std::wstring AddOnNameOf(std::wstring commandText, Frontend& frontend) {
  if (frontend.ToLower(commandText.substr(0, 2)) == L"-s") {
    commandText = text::Trimmed(std::wstring_view(commandText).substr(2));
  }
  const auto fields = ModulTextZeile2CollectionArray::TextZeileZerlegen(commandText, L",", L"");
  if (fields.empty()) return {};
  std::wstring name = text::Trimmed(fields[0]);
  const std::wstring bad = Modul::UngueltigesNamenszeichen(
      name, [&frontend](std::wstring s) { return frontend.ToLower(std::move(s)); });
  return bad.empty() ? name : std::wstring();
}

UINT Check(MSIHANDLE install) {
  InstallerSession session(install);
  if (!session.Usable()) return ERROR_INSTALL_FAILURE;
  MsiFrontend frontend(session, L"", L"");
  guest::GuestStores stores;
  const ExitStatus status = RunVersionGate(frontend, stores.stores());
  frontend.Log(L"status " + text::DecimalText(static_cast<int>(status)));
  return status == ExitStatus::Done ? ERROR_SUCCESS : ERROR_INSTALL_USEREXIT;
}

// The registry work of a deferred action; its exit status, logged.
ExitStatus Work(Session& session, MsiFrontend& frontend, const std::wstring& commandText) {
  const std::wstring productCode = session.Property(L"ProductCode");
  // A record left by an earlier run that never committed is no record of this one.
  DeleteUndoFile(UndoFileName(productCode, AddOnNameOf(commandText, frontend)));
  MsiJournal journal(productCode);
  guest::GuestStores stores;
  const ExitStatus status = RunAddOnWork(frontend, stores.stores(), commandText, &journal);
  frontend.Log(L"status " + text::DecimalText(static_cast<int>(status)));
  return status;
}

// The frame of the deferred, rollback and commit actions: their session, the data the immediate
// part scheduled for them, and a frontend over both; `unusable` when there is no session.
template <typename Step>
UINT InScheduledSession(MSIHANDLE install, UINT unusable, Step step) {
  InstallerSession session(install);
  if (!session.Usable()) return unusable;
  const ActionData data = ReadActionData(session);
  MsiFrontend frontend(session, data.commandText, data.folder);
  return step(session, frontend, data.commandText);
}

UINT Install(Session& session, MsiFrontend& frontend, const std::wstring& commandText) {
  return Work(session, frontend, commandText) == ExitStatus::Done ? ERROR_SUCCESS
                                                                  : ERROR_INSTALL_FAILURE;
}

UINT Remove(Session& session, MsiFrontend& frontend, const std::wstring& commandText) {
  // An uninstall must always be possible: a registration that stays is the lesser harm.
  if (Work(session, frontend, commandText) != ExitStatus::Done) {
    frontend.Log(L"warning: the add-on could not be removed; the uninstall goes on");
  }
  return ERROR_SUCCESS;
}

UINT Rollback(Session& session, MsiFrontend& frontend, const std::wstring& commandText) {
  const std::wstring name = AddOnNameOf(commandText, frontend);
  const std::wstring file = UndoFileName(session.Property(L"ProductCode"), name);
  const std::optional<std::string> bytes = ReadUndoFile(file);
  if (!bytes) {
    frontend.Log(L"rollback: no undo record for '" + name + L"', nothing to take back");
    return ERROR_SUCCESS;
  }
  const std::optional<UndoRecord> record = ParsedUndoRecord(*bytes);
  if (!record || !text::EqualIgnoringCase(record->name, name)) {
    frontend.Log(L"rollback: the undo record of '" + name + L"' is unreadable; nothing taken back");
  } else {
    guest::GuestStores stores;
    const std::unique_ptr<AddOnListLock> lock = frontend.LockAddOnList();
    const ModulRegistrierung::RegistryContext registry{stores.registry, stores.locale};
    if (!UndoChange(registry, frontend, *record)) frontend.Log(L"warning: rollback incomplete");
  }
  DeleteUndoFile(file);
  return ERROR_SUCCESS;
}

UINT Commit(Session& session, MsiFrontend& frontend, const std::wstring& commandText) {
  const std::wstring name = AddOnNameOf(commandText, frontend);
  DeleteUndoFile(UndoFileName(session.Property(L"ProductCode"), name));
  frontend.Log(L"undo record of '" + name + L"' deleted");
  return ERROR_SUCCESS;
}

}  // namespace

}  // namespace quillet::msi

#define QUILLET_MSI_ACTION(name, body, onFailure)                                              \
  extern "C" __declspec(dllexport) UINT __stdcall name(MSIHANDLE install) {                    \
    return quillet::guest::GuardedEntry<UINT>(onFailure, [install] { return body(install); }); \
  }
// A scheduled action: the same, in the frame of its session and data.
#define QUILLET_MSI_SCHEDULED_ACTION(name, step, onFailure)                                       \
  QUILLET_MSI_ACTION(                                                                             \
      name,                                                                                       \
      [](MSIHANDLE handle) { return quillet::msi::InScheduledSession(handle, onFailure, step); }, \
      onFailure)

QUILLET_MSI_ACTION(MsiCheck, quillet::msi::Check, ERROR_INSTALL_FAILURE)
QUILLET_MSI_SCHEDULED_ACTION(MsiInstall, quillet::msi::Install, ERROR_INSTALL_FAILURE)
QUILLET_MSI_SCHEDULED_ACTION(MsiRemove, quillet::msi::Remove, ERROR_SUCCESS)
QUILLET_MSI_SCHEDULED_ACTION(MsiRollback, quillet::msi::Rollback, ERROR_SUCCESS)
QUILLET_MSI_SCHEDULED_ACTION(MsiCommit, quillet::msi::Commit, ERROR_SUCCESS)
