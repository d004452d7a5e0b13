#include "win32/ExeFrontend.h"

#include "win32/AddOnListMutex.h"
#include "win32/DesktopShell.h"
#include "win32/MessageBoxes.h"
#include "win32/ModulInternetadresseStarten.h"
#include "win32/ModulSleep.h"
#include "win32/ProcessContext.h"
#include "win32/ShortPath.h"

namespace quillet {

namespace {

bool IsBlankOrTab(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring_view ArgumentTextOf(std::wstring_view commandLine) {
  std::size_t position = 0;
  if (!commandLine.empty() && commandLine.front() == L'"') {
    const std::size_t closing = commandLine.find(L'"', 1);
    position = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
  } else {
    while (position < commandLine.size() && !IsBlankOrTab(commandLine[position])) ++position;
  }
  while (position < commandLine.size() && IsBlankOrTab(commandLine[position])) ++position;
  return commandLine.substr(position);
}

std::wstring DirectoryOf(std::wstring_view path) {
  const std::size_t slash = path.rfind(L'\\');
  if (slash == std::wstring_view::npos) return {};
  std::wstring directory(path.substr(0, slash));
  // "C:" alone would name the drive's current directory, not its root.
  if (directory.size() >= 2 && directory.back() == L':') directory += L'\\';
  return directory;
}

ExeFrontend::ExeFrontend(HINSTANCE instance) : form_(instance) {}

MessageAnswer ExeFrontend::Show(const Message& message) { return ShowMessageBox(nullptr, message); }

std::wstring ArgumentText() {
  // The wide command line: the ANSI one has been through best-fit mapping, which can turn a
  // look-alike character into a real double quote or comma and so change the fields.
  const wchar_t* commandLine = GetCommandLineW();
  return std::wstring(ArgumentTextOf(commandLine ? commandLine : L""));
}

std::wstring ExeFrontend::OwnDirectory() {
  // Paths may be longer than MAX_PATH; grow until the whole name fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return DirectoryOf(path);
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::wstring ExeFrontend::ShortPath(const std::wstring& path) { return ShortPathOf(path); }

void ExeFrontend::SetStatusText(const std::wstring& text) { form_.SetStatusText(text); }

void ExeFrontend::ShowStatusWindow() { form_.Show(); }

void ExeFrontend::ProcessPendingEvents() { form_.ProcessPendingEvents(); }

void ExeFrontend::Pause(unsigned milliseconds) { ModulSleep::Sleep(milliseconds); }

void ExeFrontend::UnloadStatusWindow() { form_.Unload(); }

void ExeFrontend::OpenAddress(const std::wstring& address) {
  ModulInternetadresseStarten::InternetadresseStarten(address, OwnDirectory());
}

bool ExeFrontend::RunsElevated() { return ProcessRunsElevated(); }

bool ExeFrontend::RunsAsSystem() { return ProcessRunsAsSystem(); }

bool ExeFrontend::OpenAddressAsUser(const std::wstring& address) {
  // The working directory InternetadresseStarten gives: the root of the own drive.
  return ShellExecuteAsDesktopUser(address, OwnDirectory().substr(0, 3));
}

std::unique_ptr<AddOnListLock> ExeFrontend::LockAddOnList() { return quillet::LockAddOnList(); }

}  // namespace quillet
