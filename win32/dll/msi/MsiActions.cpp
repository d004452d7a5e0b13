// The custom actions of a Windows Installer package, each framed the same way: enter, read the
// session, run its step of the pass (which logs the outcome), map it to the installer's return
// value.
//   MsiCheck    immediate: the version gate only
//   MsiInstall  deferred: the registry work of an install, undo record first
//   MsiRemove   deferred: the registry work of a removal, undo record first; never fails
//   MsiRollback rollback: takes back exactly what the deferred action recorded
//   MsiCommit   commit: deletes the record
#include <windows.h>
// After windows.h, which they need.
#include <msi.h>
#include <msiquery.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/Command.h"
#include "app/Pass.h"
#include "app/UndoRecord.h"
#include "app/UndoRecordFormat.h"
#include "win32/dll/GuestEntry.h"
#include "win32/dll/GuestStores.h"
#include "win32/dll/msi/HexDigits.h"
#include "win32/dll/msi/InstallerSession.h"
#include "win32/dll/msi/MsiFrontend.h"
#include "win32/dll/msi/MsiJournal.h"
#include "win32/dll/msi/UndoFolder.h"
// Made by CMake in the build folder: the version the log names.
#include "version.h"

namespace quillet::msi {

namespace {

// The property MsiCheck hands the installation's token on in; a package passes it on by
// starting each scheduled action's data with "[QUILLETTOKEN]".
constexpr wchar_t kTokenProperty[] = L"QUILLETTOKEN";
constexpr std::size_t kTokenDigits = 32;

// A scheduled action's data: "[<token>|]<add-on folder>|<command text>". The token is "#" and
// 32 hex digits; the folder and the command are cut at the first bar after it (a Windows path
// holds none; the command text may). Packages made before the token have none.
struct ActionData {
  std::wstring token;
  std::wstring folder;
  std::wstring commandText;
};

ActionData ReadActionData(Session& session) {
  std::wstring data = session.Property(L"CustomActionData");
  ActionData result;
  if (data.size() > kTokenDigits + 1 && data[0] == L'#' && data[kTokenDigits + 1] == L'|' &&
      std::all_of(data.begin() + 1, data.begin() + 1 + kTokenDigits, IsHexDigit)) {
    result.token = data.substr(0, kTokenDigits + 1);
    data.erase(0, kTokenDigits + 2);
  }
  const std::size_t bar = data.find(L'|');
  if (bar == std::wstring::npos) {
    result.commandText = std::move(data);
  } else {
    result.folder = data.substr(0, bar);
    result.commandText = data.substr(bar + 1);
  }
  return result;
}

// A fresh token for this installation: its deferred action and its rollback get the same one,
// and no other run's record carries it.
std::wstring NewToken() {
  using RandomFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);
  // RtlGenRandom, exported by advapi32 (which the DLL imports anyway) under this name.
  const auto random =
      guest::Function<RandomFunction>(GetModuleHandleW(L"advapi32.dll"), "SystemFunction036");
  unsigned char bytes[kTokenDigits / 2] = {};
  if (random == nullptr || !random(bytes, sizeof bytes)) return {};
  std::wstring token = L"#";
  for (const unsigned char b : bytes) AppendHex(token, b, 2);
  return token;
}

// The record's file name for this product and add-on.
std::wstring RecordName(Session& session, ModulRegistrierung::Locale& locale,
                        const std::wstring& name) {
  return UndoFileName(session.Property(L"ProductCode"), locale.ToLower(name));
}

// What binds a record to its run: the product and the installation's token.
std::wstring RunOf(Session& session, const ActionData& data) {
  return session.Property(L"ProductCode") + data.token;
}

ExitStatus Check(Session& session, MsiFrontend& frontend, const ActionData&) {
  guest::GuestStores stores;
  const ExitStatus status = RunVersionGate(frontend, stores.stores());
  if (status != ExitStatus::Done) return status;
  const std::wstring token = NewToken();
  if (token.empty() || !session.SetProperty(kTokenProperty, token + L"|")) {
    frontend.Log(
        L"warning: no token for this installation; undo records are bound to the "
        L"product alone");
  }
  return ExitStatus::Done;
}

// The registry work of a deferred action, its undo record kept first; its exit status, logged.
ExitStatus Work(Session& session, MsiFrontend& frontend, const ActionData& data) {
  const Command command = ReadCommand(data.commandText);
  guest::GuestStores stores;
  if (command.mode == RunMode::None) {
    // Refused by the command line: the pass says why, and nothing is written.
    return RunAddOnWork(frontend, stores.stores(), command, nullptr);
  }
  const std::optional<UndoFolder> folder = UndoFolder::Open(true);
  const std::wstring file = RecordName(session, stores.locale, command.name);
  if (!folder || file.empty()) {
    frontend.Log(L"status 1 (the undo folder cannot be had or trusted): nothing changed");
    return ExitStatus::RegistryFailed;
  }
  if (folder->Remove(file) == RecordOutcome::Failed) {
    // A record left by an earlier run that never committed is no record of this one; one that
    // cannot go would be taken for this run's.
    frontend.Log(L"status 1 (a stale undo record cannot be removed: " + file +
                 L"): nothing changed");
    return ExitStatus::RegistryFailed;
  }
  MsiJournal journal(*folder, file, RunOf(session, data));
  return RunAddOnWork(frontend, stores.stores(), command, &journal);
}

ExitStatus Install(Session& session, MsiFrontend& frontend, const ActionData& data) {
  return Work(session, frontend, data);
}

ExitStatus Remove(Session& session, MsiFrontend& frontend, const ActionData& data) {
  const ExitStatus status = Work(session, frontend, data);
  // An uninstall must always be possible: a registration that stays is the lesser harm.
  if (status != ExitStatus::Done) {
    frontend.Log(L"warning: the add-on could not be removed; the uninstall goes on");
  }
  return status;
}

ExitStatus Rollback(Session& session, MsiFrontend& frontend, const ActionData& data) {
  const Command command = ReadCommand(data.commandText);
  const std::wstring& name = command.name;
  guest::GuestStores stores;
  const std::optional<UndoFolder> folder = UndoFolder::Open(false);
  const std::wstring file =
      name.empty() ? std::wstring() : RecordName(session, stores.locale, name);
  std::string bytes;
  const RecordOutcome read =
      folder && !file.empty() ? folder->Read(file, bytes) : RecordOutcome::Absent;
  if (read == RecordOutcome::Absent) {
    frontend.Log(L"rollback: no undo record for '" + name + L"', nothing to take back");
    return ExitStatus::Done;
  }
  if (read != RecordOutcome::Done) {
    frontend.Log(read == RecordOutcome::Refused
                     ? L"rollback: " + file +
                           L" is no undo record of ours: left alone, nothing taken back"
                     : L"warning: rollback: the undo record " + file +
                           L" cannot be read; nothing taken back");
    return ExitStatus::Done;
  }
  const std::optional<UndoRecord> record = ParsedUndoRecord(bytes);
  if (!record || record->run != RunOf(session, data) ||
      record->work != (command.mode == RunMode::Install ? UndoWork::Install : UndoWork::Remove) ||
      stores.locale.ToLower(record->name) != stores.locale.ToLower(name)) {
    frontend.Log(L"rollback: the undo record " + file + L" is not this run's record of '" + name +
                 L"': left alone, nothing taken back");
    return ExitStatus::Done;
  }
  {
    const std::unique_ptr<AddOnListLock> lock = frontend.LockAddOnList();
    const ModulRegistrierung::RegistryContext registry{stores.registry, stores.locale};
    const UndoOutcome undone = UndoChange(registry, frontend, frontend, *record);
    const wchar_t* const outcome = undone == UndoOutcome::Undone ? L"' taken back"
                                   : undone == UndoOutcome::NotOurs
                                       ? L"' left to the run that changed it since"
                                       : L"' incomplete";
    frontend.Log((undone == UndoOutcome::Incomplete ? L"warning: rollback of '" : L"rollback: '") +
                 name + outcome);
  }
  const RecordOutcome removed = folder->Remove(file);
  frontend.Log((removed == RecordOutcome::Failed ? L"warning: undo record not deleted: "
                                                 : L"undo record deleted: ") +
               file);
  return ExitStatus::Done;
}

ExitStatus Commit(Session& session, MsiFrontend& frontend, const ActionData& data) {
  const std::wstring name = ReadCommand(data.commandText).name;
  guest::GuestLocale locale;
  const std::optional<UndoFolder> folder = UndoFolder::Open(false);
  const std::wstring file = name.empty() ? std::wstring() : RecordName(session, locale, name);
  const RecordOutcome removed =
      folder && !file.empty() ? folder->Remove(file) : RecordOutcome::Absent;
  frontend.Log(removed == RecordOutcome::Done ? L"undo record of '" + name + L"' deleted"
               : removed == RecordOutcome::Absent
                   ? L"no undo record of '" + name + L"' to delete"
                   : L"warning: undo record of '" + name + L"' not deleted: " + file);
  return ExitStatus::Done;
}

// How an action's outcome becomes the installer's return value, for all five in one place: the
// gate ends an install as a user exit, a failed install fails it, and a removal, a rollback or
// a commit never fails (an uninstall must always be possible).
enum class Kind { Gate, Install, NeverFails };

UINT MsiResult(Kind kind, ExitStatus status) {
  if (status == ExitStatus::Done || kind == Kind::NeverFails) return ERROR_SUCCESS;
  return kind == Kind::Gate && status == ExitStatus::HostOutdated ? ERROR_INSTALL_USEREXIT
                                                                  : ERROR_INSTALL_FAILURE;
}

// The frame of every action, as WiX's custom actions have it: enter (the action and this DLL's
// version in the log), read the session and the data scheduled for it, run the step, map its
// outcome. The step and the pass log the outcome, once.
using Step = ExitStatus (*)(Session&, MsiFrontend&, const ActionData&);

UINT Framed(MSIHANDLE install, const wchar_t* action, Kind kind, Step step) {
  InstallerSession session(install);
  if (!session.Usable()) return MsiResult(kind, ExitStatus::RegistryFailed);
  const ActionData data = ReadActionData(session);
  MsiFrontend frontend(session, data.folder);
  frontend.Log(std::wstring(L"entering ") + action + L", version " QUILLET_VERSION_TEXT);
  return MsiResult(kind, step(session, frontend, data));
}

}  // namespace

}  // namespace quillet::msi

#define QUILLET_MSI_WIDEN_(text) L##text
#define QUILLET_MSI_WIDEN(text) QUILLET_MSI_WIDEN_(text)
#define QUILLET_MSI_ACTION(name, step, kind)                                            \
  extern "C" __declspec(dllexport) UINT __stdcall name(MSIHANDLE install) {             \
    using quillet::msi::Kind;                                                           \
    return quillet::guest::GuardedEntry<UINT>(                                          \
        quillet::msi::MsiResult(kind, quillet::ExitStatus::RegistryFailed), [install] { \
          return quillet::msi::Framed(install, QUILLET_MSI_WIDEN(#name), kind, step);   \
        });                                                                             \
  }

QUILLET_MSI_ACTION(MsiCheck, quillet::msi::Check, Kind::Gate)
QUILLET_MSI_ACTION(MsiInstall, quillet::msi::Install, Kind::Install)
QUILLET_MSI_ACTION(MsiRemove, quillet::msi::Remove, Kind::NeverFails)
QUILLET_MSI_ACTION(MsiRollback, quillet::msi::Rollback, Kind::NeverFails)
QUILLET_MSI_ACTION(MsiCommit, quillet::msi::Commit, Kind::NeverFails)
