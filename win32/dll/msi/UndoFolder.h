// Where a deferred action keeps its undo record until the installer commits or rolls back:
// %ProgramData%\Quillet\Undo, a folder only SYSTEM and the Administrators can write, so that no
// user can plant a record that a rollback running as SYSTEM would carry out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet::msi {

// The record file for the add-on `name` of the product `productCode`; empty when the product
// code is not a braced GUID or the name is empty or holds a character a file name cannot
// (either would let the name point elsewhere).
std::wstring UndoFileName(std::wstring_view productCode, std::wstring_view name);

// Writes `bytes` as the file `fileName` in the folder, making the folder (and its protection)
// first when needed. False when the folder could not be made or secured, or the write failed.
bool WriteUndoFile(const std::wstring& fileName, std::string_view bytes);

// The file's bytes; nullopt when there is none (or it cannot be read, or is implausibly large).
std::optional<std::string> ReadUndoFile(const std::wstring& fileName);

// Deletes the file; true also when there was none.
bool DeleteUndoFile(const std::wstring& fileName);

}  // namespace quillet::msi
