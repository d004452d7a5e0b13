#include "win32/dll/msi/UndoFolder.h"

// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

#include "win32/dll/SystemLibrary.h"
#include "win32/dll/msi/HexDigits.h"

namespace quillet::msi {

namespace {

// Made by us: owned by the Administrators; full control for SYSTEM and the Administrators,
// nobody else, and nothing inherited.
constexpr wchar_t kFolderSecurity[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr wchar_t kTrustedInstaller[] =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003A);

using NtCreateFileFunction = decltype(&::NtCreateFile);

NtCreateFileFunction NtCreateFileOf() {
  // ntdll is in every process from its start; asking for it loads nothing.
  return guest::Function<NtCreateFileFunction>(GetModuleHandleW(L"ntdll.dll"), "NtCreateFile");
}

// Opens (or makes) `name` inside the folder `folder`, never following a link or junction there.
// `status` gets NT's answer.
unique_kernel_handle OpenRelative(HANDLE folder, const std::wstring& name, ACCESS_MASK access,
                                  ULONG share, ULONG disposition, ULONG options,
                                  PSECURITY_DESCRIPTOR security, NTSTATUS& status) {
  const NtCreateFileFunction create = NtCreateFileOf();
  if (create == nullptr || name.size() > 0x7FFF) {
    status = static_cast<NTSTATUS>(0xC0000001);
    return {};
  }
  UNICODE_STRING path{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      const_cast<PWSTR>(name.c_str())};
  OBJECT_ATTRIBUTES attributes{};
  attributes.Length = sizeof attributes;
  attributes.RootDirectory = folder;
  attributes.ObjectName = &path;
  attributes.Attributes = OBJ_CASE_INSENSITIVE;
  attributes.SecurityDescriptor = security;
  IO_STATUS_BLOCK io{};
  unique_kernel_handle handle;
  status = create(handle.put(), access | SYNCHRONIZE, &attributes, &io, nullptr,
                  FILE_ATTRIBUTE_NORMAL, share, disposition,
                  options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (status < 0) handle.release();
  return handle;
}

Owner OwnerOf(HANDLE object) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                      nullptr, &descriptor) != ERROR_SUCCESS) {
    return Owner::Other;
  }
  const unique_local keep(descriptor);
  if (owner == nullptr || !IsValidSid(owner)) return Owner::Other;
  if (IsWellKnownSid(owner, WinLocalSystemSid)) return Owner::System;
  if (IsWellKnownSid(owner, WinBuiltinAdministratorsSid)) return Owner::Administrators;
  PSID trustedInstaller = nullptr;
  if (ConvertStringSidToSidW(kTrustedInstaller, &trustedInstaller)) {
    const unique_local keepSid(trustedInstaller);
    if (EqualSid(owner, trustedInstaller)) return Owner::TrustedInstaller;
  }
  unique_kernel_handle token;
  alignas(TOKEN_USER) unsigned char user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) &&
      GetTokenInformation(token.get(), TokenUser, user, sizeof user, &size) &&
      EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user)->User.Sid)) {
    return Owner::ThisProcess;
  }
  return Owner::Other;
}

std::optional<ObjectFacts> FactsOf(HANDLE object) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(object, &information)) return std::nullopt;
  return ObjectFacts{(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                     (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                     information.nNumberOfLinks, OwnerOf(object)};
}

bool IsTrusted(HANDLE object, bool folder) {
  const std::optional<ObjectFacts> facts = FactsOf(object);
  return facts && Trusted(*facts, folder);
}

// %windir%\Installer, opened as it is (no link followed) and checked; made when missing, which on
// Windows only an administrator could have undone.
unique_kernel_handle InstallerFolder() {
  wchar_t windows[MAX_PATH + 1] = {};
  const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return {};
  const std::wstring path = std::wstring(windows, length) + L"\\Installer";
  CreateDirectoryW(path.c_str(), nullptr);
  unique_file folder(CreateFileW(
      path.c_str(), READ_CONTROL | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_SUBDIRECTORY,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!folder || !IsTrusted(folder.get(), true)) return {};
  return unique_kernel_handle(folder.release());
}

std::uint64_t Digest(std::wstring_view text) {
  // FNV-1a over the UTF-16 code units: a stable name, not a secret; the record itself names the
  // add-on, and the rollback compares that.
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t c : text) {
    for (const unsigned byte : {static_cast<unsigned>(c) & 0xFF, static_cast<unsigned>(c) >> 8}) {
      hash ^= byte;
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

bool IsBracedGuid(std::wstring_view text) {
  constexpr std::wstring_view kShape = L"{........-....-....-....-............}";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == L'.' ? !IsHexDigit(text[i]) : text[i] != kShape[i]) return false;
  }
  return true;
}

bool MarkDeleted(HANDLE file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

bool Trusted(const ObjectFacts& facts, bool folder) {
  if (facts.directory != folder || facts.reparsePoint) return false;
  if (!folder && facts.links != 1) return false;
  return facts.owner != Owner::Other;
}

std::wstring UndoFileName(std::wstring_view productCode, std::wstring_view lowerCaseName) {
  if (!IsBracedGuid(productCode)) return {};
  std::wstring name(productCode);
  name += L'_';
  AppendHex(name, Digest(lowerCaseName), 16);
  return name + L".undo";
}

std::optional<UndoFolder> UndoFolder::Open(bool create) {
  const unique_kernel_handle installer = InstallerFolder();
  if (!installer) return std::nullopt;
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kFolderSecurity, SDDL_REVISION_1, &made,
                                                            nullptr)) {
    return std::nullopt;
  }
  const unique_local security(made);
  NTSTATUS status = 0;
  unique_kernel_handle folder =
      OpenRelative(installer.get(), L"Quillet",
                   READ_CONTROL | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE,
                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                   create ? FILE_OPEN_IF : FILE_OPEN, FILE_DIRECTORY_FILE, security.get(), status);
  if (!folder || !IsTrusted(folder.get(), true)) return std::nullopt;
  return UndoFolder(std::move(folder));
}

RecordOutcome UndoFolder::Remove(const std::wstring& name) const {
  NTSTATUS status = 0;
  const unique_kernel_handle file =
      OpenRelative(handle_.get(), name, DELETE | FILE_READ_ATTRIBUTES, 0, FILE_OPEN,
                   FILE_NON_DIRECTORY_FILE, nullptr, status);
  if (!file) {
    return status == kNameNotFound || status == kPathNotFound ? RecordOutcome::Absent
                                                              : RecordOutcome::Failed;
  }
  return MarkDeleted(file.get()) ? RecordOutcome::Done : RecordOutcome::Failed;
}

RecordOutcome UndoFolder::Write(const std::wstring& name, std::string_view bytes) const {
  if (bytes.size() > kMaxUndoRecordSize) return RecordOutcome::Failed;
  NTSTATUS status = 0;
  const unique_kernel_handle file =
      OpenRelative(handle_.get(), name, FILE_GENERIC_WRITE | DELETE, 0, FILE_CREATE,
                   FILE_NON_DIRECTORY_FILE | FILE_WRITE_THROUGH, nullptr, status);
  if (!file) return RecordOutcome::Failed;
  DWORD written = 0;
  if (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file.get())) {
    return RecordOutcome::Done;
  }
  // Half a record is none: it goes with its handle.
  MarkDeleted(file.get());
  return RecordOutcome::Failed;
}

RecordOutcome UndoFolder::Read(const std::wstring& name, std::string& bytes) const {
  NTSTATUS status = 0;
  const unique_kernel_handle file =
      OpenRelative(handle_.get(), name, FILE_GENERIC_READ, FILE_SHARE_READ, FILE_OPEN,
                   FILE_NON_DIRECTORY_FILE, nullptr, status);
  if (!file) {
    return status == kNameNotFound || status == kPathNotFound ? RecordOutcome::Absent
                                                              : RecordOutcome::Failed;
  }
  if (!IsTrusted(file.get(), false)) return RecordOutcome::Refused;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return RecordOutcome::Failed;
  if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > kMaxUndoRecordSize) {
    return RecordOutcome::Refused;
  }
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    return RecordOutcome::Failed;
  }
  return RecordOutcome::Done;
}

}  // namespace quillet::msi
