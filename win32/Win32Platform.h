// The platform interface of the pass, bound to Windows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "app/Platform.h"
#include "win32/FormQuillet.h"

namespace quillet {

class Win32Platform : public Platform {
 public:
  // `instance` holds the status window's resources.
  explicit Win32Platform(HINSTANCE instance);

  std::wstring ArgumentText() override;
  std::wstring OwnDirectory() override;
  std::wstring ToLower(std::wstring text) override;
  MessageAnswer Show(const Message& message) override;

  void SetStatusText(const std::wstring& text) override;
  void ShowStatusWindow() override;
  void ProcessPendingEvents() override;
  void Pause(unsigned milliseconds) override;
  void UnloadStatusWindow() override;

  long long OpenAddress(const std::wstring& address) override;
  bool RunsElevated() override;
  bool OpenAddressAsUser(const std::wstring& address) override;
  std::unique_ptr<AddOnListLock> LockAddOnList() override;

 private:
  FormQuillet form_;
};

// What follows the program's own name in the raw command line `commandLine`, by the rule
// Windows programs split it with: a name that starts with a double quote runs to the next double
// quote, any other to the first blank or tab; the blanks and tabs after it are skipped too.
std::wstring_view ArgumentTextOf(std::wstring_view commandLine);

// The folder part of the program file `path`, without a trailing backslash unless it is a
// drive's root ("C:\").
std::wstring DirectoryOf(std::wstring_view path);

// The name of the machine-wide lock around the add-on list.
inline constexpr wchar_t kAddOnListLockName[] = L"Global\\Quillet.AddOnListe";

}  // namespace quillet
