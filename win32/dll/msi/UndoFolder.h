// Where a deferred action keeps its undo record until the installer commits or rolls back:
// %windir%\Installer\Quillet. Windows Installer keeps its own rollback scripts in
// %windir%\Installer, where only SYSTEM and the Administrators can create anything, so no user
// can make, link or hold open a record there before us. The folder is opened once, without
// following a link, checked, and every record is then made, read and deleted relative to that
// handle; a record is read only after its own owner and type are checked.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "win32/UniqueHandle.h"

namespace quillet::msi {

// Who owns an object in the records' place, as far as trusting it goes.
enum class Owner : std::uint8_t { System, Administrators, TrustedInstaller, ThisProcess, Other };

// What the rule looks at, read from an open handle.
struct ObjectFacts {
  bool directory = false;
  bool reparsePoint = false;
  std::uint32_t links = 1;
  Owner owner = Owner::Other;
};

// True for a plain folder (`folder`) or file with no second name, no link or junction, owned by
// SYSTEM, the Administrators, TrustedInstaller or this process's own account (the account a
// deferred action runs as: SYSTEM on Windows). Anything else is no record of ours.
bool Trusted(const ObjectFacts& facts, bool folder);

// The largest record written, and so the largest read: a key holding values far beyond any the
// host writes still fits.
inline constexpr std::size_t kMaxUndoRecordSize = std::size_t{64} << 20;

// The record's file name for the product `productCode` and the add-on `lowerCaseName`: of fixed
// length, "{GUID}_" and a digest of the name, so that any name the exe takes fits. Empty when the
// product code is no braced GUID.
std::wstring UndoFileName(std::wstring_view productCode, std::wstring_view lowerCaseName);

enum class RecordOutcome {
  Done,     // deleted, written, read
  Absent,   // there is none (nothing to delete or read)
  Refused,  // something is there that is no record of ours: left alone
  Failed,   // the system refused (held open, no space, no folder)
};

class UndoFolder {
 public:
  // The folder, checked; made first when `create`. nullopt when it is not there (and not
  // `create`), or is no folder we can trust.
  static std::optional<UndoFolder> Open(bool create);

  // Deletes the record `name`: Done, Absent, or Failed (held open, say).
  RecordOutcome Remove(const std::wstring& name) const;
  // Makes `name` anew with exactly `bytes`: Done, or Failed with nothing left behind (also when
  // `name` exists, or the bytes are more than a read accepts).
  RecordOutcome Write(const std::wstring& name, std::string_view bytes) const;
  // The record's bytes: Done, Absent, Refused (not ours, or larger than any we write) or Failed.
  RecordOutcome Read(const std::wstring& name, std::string& bytes) const;

 private:
  explicit UndoFolder(unique_kernel_handle handle) : handle_(std::move(handle)) {}
  unique_kernel_handle handle_;
};

}  // namespace quillet::msi
