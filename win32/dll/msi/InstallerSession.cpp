#include "win32/dll/msi/InstallerSession.h"

#include "win32/dll/SystemLibrary.h"

namespace quillet::msi {

std::wstring Escaped(const std::wstring& text) {
  std::wstring escaped;
  escaped.reserve(text.size());
  for (const wchar_t c : text) {
    switch (c) {
      case L'[':
      case L']':
      case L'{':
      case L'}':
        escaped += L"[\\";
        escaped += c;
        escaped += L']';
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

InstallerSession::InstallerSession(MSIHANDLE install)
    : install_(install), msi_(guest::LoadSystemLibrary(L"msi.dll")) {
  const HMODULE m = msi_.get();
  getProperty_ = guest::Function<decltype(getProperty_)>(m, "MsiGetPropertyW");
  setProperty_ = guest::Function<decltype(setProperty_)>(m, "MsiSetPropertyW");
  createRecord_ = guest::Function<decltype(createRecord_)>(m, "MsiCreateRecord");
  setString_ = guest::Function<decltype(setString_)>(m, "MsiRecordSetStringW");
  processMessage_ = guest::Function<decltype(processMessage_)>(m, "MsiProcessMessage");
  usable_ = getProperty_ && setProperty_ && createRecord_ && setString_ && processMessage_ &&
            // The records' owner closes them through it.
            guest::Function<decltype(&::MsiCloseHandle)>(m, "MsiCloseHandle") != nullptr;
}

std::wstring InstallerSession::Property(const std::wstring& name) {
  if (!usable_) return {};
  std::wstring value(64, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = static_cast<DWORD>(value.size());
    const UINT result = getProperty_(install_, name.c_str(), value.data(), &size);
    if (result == ERROR_SUCCESS) {
      value.resize(size);
      return value;
    }
    // The size it reports leaves out the terminator; it may grow between two calls.
    if (result != ERROR_MORE_DATA) return {};
    value.assign(static_cast<std::size_t>(size) + 1, L'\0');
  }
  return {};
}

bool InstallerSession::SetProperty(const std::wstring& name, const std::wstring& value) {
  return usable_ && setProperty_(install_, name.c_str(), value.c_str()) == ERROR_SUCCESS;
}

int InstallerSession::Send(unsigned kind, std::initializer_list<const wchar_t*> fields) {
  if (!usable_ || fields.size() == 0) return -1;
  const unique_msi_handle record(createRecord_(static_cast<UINT>(fields.size() - 1)));
  if (!record) return -1;
  UINT field = 0;
  for (const wchar_t* text : fields) setString_(record.get(), field++, text);
  return processMessage_(install_, static_cast<INSTALLMESSAGE>(kind), record.get());
}

}  // namespace quillet::msi
