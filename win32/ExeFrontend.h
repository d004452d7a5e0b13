// The frontend of quillet.exe: its command line, its status window and its message boxes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "app/Frontend.h"
#include "win32/FormQuillet.h"

namespace quillet {

class ExeFrontend : public Frontend {
 public:
  // `instance` holds the status window's resources.
  explicit ExeFrontend(HINSTANCE instance);

  MessageAnswer Show(const Message& message) override;
  std::wstring OwnDirectory() override;
  std::wstring ShortPath(const std::wstring& path) override;

  void SetStatusText(const std::wstring& text) override;
  void ShowStatusWindow() override;
  void ProcessPendingEvents() override;
  void Pause(unsigned milliseconds) override;
  void UnloadStatusWindow() override;

  // The exe keeps no log: its exit status is what an installer reads.
  void Log(const std::wstring&) override {}

  void OpenAddress(const std::wstring& address) override;
  bool RunsElevated() override;
  bool RunsAsSystem() override;
  bool OpenAddressAsUser(const std::wstring& address) override;
  std::unique_ptr<AddOnListLock> LockAddOnList() override;

 private:
  FormQuillet form_;
};

// What follows the program's own name in the raw command line `commandLine`, by the rule
// Windows programs split it with: a name that starts with a double quote runs to the next double
// quote, any other to the first blank or tab; the blanks and tabs after it are skipped too.
std::wstring_view ArgumentTextOf(std::wstring_view commandLine);

// This process's own command text: ArgumentTextOf its wide command line.
std::wstring ArgumentText();

// The folder part of the program file `path`, without a trailing backslash unless it is a
// drive's root ("C:\").
std::wstring DirectoryOf(std::wstring_view path);

}  // namespace quillet
