#include "win32/dll/msi/UndoFolder.h"

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include "win32/UniqueHandle.h"
#include "win32/dll/SystemLibrary.h"

namespace quillet::msi {

namespace {

// Owned by the Administrators; full control for SYSTEM and the Administrators, nobody else, and
// nothing inherited from %ProgramData% (where every user may create folders).
constexpr wchar_t kFolderSecurity[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr DWORD kMaxRecordSize = 1 << 20;

inline void LocalFreeDescriptor(PSECURITY_DESCRIPTOR descriptor) { LocalFree(descriptor); }
using unique_descriptor = unique_handle<PSECURITY_DESCRIPTOR, &LocalFreeDescriptor>;

// CreateFile's handle, or an empty owner when it failed (INVALID_HANDLE_VALUE, not null).
unique_kernel_handle Opened(HANDLE handle) {
  return unique_kernel_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool IsHex(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool IsBracedGuid(std::wstring_view text) {
  constexpr std::wstring_view kShape = L"{........-....-....-....-............}";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == L'.' ? !IsHex(text[i]) : text[i] != kShape[i]) return false;
  }
  return true;
}

std::wstring ProgramDataFolder() {
  const unique_hmodule shell = guest::LoadSystemLibrary(L"shell32.dll");
  const auto getFolder =
      guest::Function<decltype(&::SHGetFolderPathW)>(shell.get(), "SHGetFolderPathW");
  wchar_t path[MAX_PATH + 1] = {};
  if (getFolder == nullptr ||
      FAILED(getFolder(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_DONT_VERIFY, nullptr,
                       SHGFP_TYPE_CURRENT, path))) {
    return {};
  }
  return path;
}

// Makes `folder` with the protection above, or, when it exists, opens it (never following a
// junction or link someone put there) and gives it that protection and owner. False when it is
// no plain folder or cannot be secured.
bool SecuredFolder(const std::wstring& folder, bool create) {
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kFolderSecurity, SDDL_REVISION_1, &made,
                                                            nullptr)) {
    return false;
  }
  const unique_descriptor descriptor(made);
  if (create) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    if (CreateDirectoryW(folder.c_str(), &attributes)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  const unique_kernel_handle handle = Opened(
      CreateFileW(folder.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle) return false;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle.get(), &information)) return false;
  const DWORD attributes = information.dwFileAttributes;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return false;
  }
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  PSID owner = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted) ||
      !GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted)) {
    return false;
  }
  return SetSecurityInfo(handle.get(), SE_FILE_OBJECT,
                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                             PROTECTED_DACL_SECURITY_INFORMATION,
                         owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

// The undo folder, made and secured when `create`; empty when it cannot be had.
std::wstring UndoFolder(bool create) {
  const std::wstring programData = ProgramDataFolder();
  if (programData.empty()) return {};
  const std::wstring quillet = programData + L"\\Quillet";
  const std::wstring undo = quillet + L"\\Undo";
  if (create && (!SecuredFolder(quillet, true) || !SecuredFolder(undo, true))) return {};
  return undo;
}

}  // namespace

std::wstring UndoFileName(std::wstring_view productCode, std::wstring_view name) {
  if (!IsBracedGuid(productCode) || name.empty()) return {};
  for (const wchar_t c : name) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|.").find(c) != std::wstring_view::npos) {
      return {};
    }
  }
  return std::wstring(productCode) + L"_" + std::wstring(name) + L".undo";
}

bool WriteUndoFile(const std::wstring& fileName, std::string_view bytes) {
  const std::wstring folder = UndoFolder(true);
  if (folder.empty() || fileName.empty()) return false;
  const unique_kernel_handle file = Opened(CreateFileW((folder + L"\\" + fileName).c_str(), GENERIC_WRITE,
                                              0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH,
                                              nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size() && FlushFileBuffers(file.get());
}

std::optional<std::string> ReadUndoFile(const std::wstring& fileName) {
  const std::wstring folder = UndoFolder(false);
  if (folder.empty() || fileName.empty()) return std::nullopt;
  const unique_kernel_handle file = Opened(CreateFileW((folder + L"\\" + fileName).c_str(), GENERIC_READ,
                                              FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxRecordSize) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    return std::nullopt;
  }
  return bytes;
}

bool DeleteUndoFile(const std::wstring& fileName) {
  const std::wstring folder = UndoFolder(false);
  if (folder.empty() || fileName.empty()) return true;
  return DeleteFileW((folder + L"\\" + fileName).c_str()) ||
         GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
}

}  // namespace quillet::msi
