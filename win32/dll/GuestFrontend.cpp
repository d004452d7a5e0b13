#include "win32/dll/GuestFrontend.h"

#include <windows.h>

#include "win32/AddOnListMutex.h"
#include "win32/DesktopShell.h"
#include "win32/LateBound.h"
#include "win32/MessageBoxes.h"
#include "win32/ModulInternetadresseStarten.h"
#include "win32/ProcessContext.h"
#include "win32/ShortPath.h"
#include "win32/dll/SystemLibrary.h"

namespace quillet::guest {

namespace {

// The working directory the shell gets: the root of the system's drive, as the exe gives the
// root of its own; the add-on's folder is no place to start a browser in.
std::wstring SystemDriveRoot() { return late_bound::SystemPath(L"").substr(0, 3); }

}  // namespace

std::wstring NormalizedFolder(std::wstring folder) {
  while (!folder.empty() && folder.back() == L' ') folder.pop_back();
  std::size_t start = 0;
  while (start < folder.size() && folder[start] == L' ') ++start;
  folder.erase(0, start);
  const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  const bool drive =
      folder.size() >= 3 && folder[1] == L':' && separator(folder[2]) &&
      ((folder[0] >= L'A' && folder[0] <= L'Z') || (folder[0] >= L'a' && folder[0] <= L'z'));
  const bool unc =
      folder.size() >= 3 && separator(folder[0]) && separator(folder[1]) && !separator(folder[2]);
  // A folder that is not absolute would be resolved against the host's current directory
  // whenever it starts the add-on: "rel\dir", "\dir" (the current drive) and "C:dir".
  if (!drive && !unc) return {};
  while (folder.size() > 1 && separator(folder.back())) {
    if (drive && folder.size() == 3) {
      folder[2] = L'\\';
      break;
    }
    folder.pop_back();
  }
  return folder;
}

GuestFrontend::GuestFrontend(std::wstring addOnFolder, HWND owner, bool silent)
    : folder_(NormalizedFolder(std::move(addOnFolder))), owner_(owner), silent_(silent) {}

MessageAnswer GuestFrontend::Show(const Message& message) {
  return silent_ ? LeastAnswer(message) : ShowMessageBox(owner_, message);
}

void GuestFrontend::OpenAddress(const std::wstring& address) {
  // Loaded for this step and freed after it: the installer did not ask for the shell.
  const SystemLibraries shell{L"ole32.dll", L"shell32.dll"};
  if (!shell.Complete()) return;
  ModulInternetadresseStarten::InternetadresseStarten(address, SystemDriveRoot());
}

bool GuestFrontend::RunsElevated() { return ProcessRunsElevated(); }

bool GuestFrontend::RunsAsSystem() { return ProcessRunsAsSystem(); }

bool GuestFrontend::OpenAddressAsUser(const std::wstring& address) {
  const SystemLibraries shell{L"ole32.dll", L"oleaut32.dll", L"shell32.dll"};
  return shell.Complete() && ShellExecuteAsDesktopUser(address, SystemDriveRoot());
}

std::unique_ptr<AddOnListLock> GuestFrontend::LockAddOnList() { return quillet::LockAddOnList(); }

std::wstring GuestFrontend::ShortPath(const std::wstring& path) { return ShortPathOf(path); }

}  // namespace quillet::guest
