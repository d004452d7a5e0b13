#include "win32/Win32Platform.h"

#include "win32/DesktopShell.h"
#include "win32/LateBound.h"
#include "win32/ModulInternetadresseStarten.h"
#include "win32/ModulSleep.h"
#include "win32/ProcessContext.h"
#include "win32/UniqueHandle.h"

namespace quillet {

namespace {

// How long a run waits for another run's add-on list work before it goes on without the lock.
constexpr DWORD kLockTimeoutMilliseconds = 30000;

// The fallback when the machine-wide lock can be neither made nor opened.
constexpr wchar_t kSessionLockName[] = L"Local\\Quillet.AddOnListe";

bool IsBlankOrTab(wchar_t c) { return c == L' ' || c == L'\t'; }

UINT IconFlags(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::Information:
      break;
  }
  return MB_ICONINFORMATION;
}

class MutexLock : public AddOnListLock {
 public:
  explicit MutexLock(unique_kernel_handle mutex) : mutex_(std::move(mutex)) {}
  ~MutexLock() override { ReleaseMutex(mutex_.get()); }

 private:
  unique_kernel_handle mutex_;
};

// The machine-wide mutex. Making a Global\ object needs a right that only elevated runs have;
// an unelevated run may still open one an elevated run made. An unelevated run that finds none
// writes through UAC's per-user registry virtualization anyway, so a lock of its own session
// keeps its runs apart.
unique_kernel_handle OpenAddOnListMutex() {
  if (const HANDLE mutex = CreateMutexW(nullptr, FALSE, kAddOnListLockName)) {
    return unique_kernel_handle(mutex);
  }
  if (const HANDLE mutex =
          OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kAddOnListLockName)) {
    return unique_kernel_handle(mutex);
  }
  return unique_kernel_handle(CreateMutexW(nullptr, FALSE, kSessionLockName));
}

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

Win32Platform::Win32Platform(HINSTANCE instance) : form_(instance) {}

std::wstring Win32Platform::ArgumentText() {
  // The wide command line: the ANSI one has been through best-fit mapping, which can turn a
  // look-alike character into a real double quote or comma and so change the fields.
  const wchar_t* commandLine = GetCommandLineW();
  return std::wstring(ArgumentTextOf(commandLine ? commandLine : L""));
}

std::wstring Win32Platform::OwnDirectory() {
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

std::wstring Win32Platform::ToLower(std::wstring text) {
  // What CharLowerBuffW does (the user's locale, no linguistic casing), but from kernel32: a
  // silent run then never loads user32.
  if (!text.empty()) {
    const int size = static_cast<int>(text.size());
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.data(), size, text.data(), size);
  }
  return text;
}

// A box that no one can see counts as answered with its safest button, the one that starts
// nothing: OK, or No. Every path then ends as it ends after that click.
MessageAnswer Win32Platform::Show(const Message& message) {
  if (!WindowStationVisible()) {
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
  const UINT buttons = message.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  const int answer = USER32(MessageBoxW)(nullptr, message.text.c_str(), message.title.c_str(),
                                         buttons | IconFlags(message.icon));
  switch (answer) {
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    default:
      // A question that could not be asked counts as declined.
      return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
}

void Win32Platform::SetStatusText(const std::wstring& text) { form_.SetStatusText(text); }

void Win32Platform::ShowStatusWindow() { form_.Show(); }

void Win32Platform::ProcessPendingEvents() { form_.ProcessPendingEvents(); }

void Win32Platform::Pause(unsigned milliseconds) { ModulSleep::Sleep(milliseconds); }

void Win32Platform::UnloadStatusWindow() { form_.Unload(); }

long long Win32Platform::OpenAddress(const std::wstring& address) {
  return ModulInternetadresseStarten::InternetadresseStarten(address, OwnDirectory());
}

bool Win32Platform::RunsElevated() { return ProcessRunsElevated(); }

bool Win32Platform::OpenAddressAsUser(const std::wstring& address) {
  // The working directory InternetadresseStarten gives: the root of the own drive.
  return ShellExecuteAsDesktopUser(address, OwnDirectory().substr(0, 3));
}

std::unique_ptr<AddOnListLock> Win32Platform::LockAddOnList() {
  unique_kernel_handle mutex = OpenAddOnListMutex();
  if (!mutex) return nullptr;
  switch (WaitForSingleObject(mutex.get(), kLockTimeoutMilliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // a run that died holding it; the list work is whole-value writes
      return std::make_unique<MutexLock>(std::move(mutex));
    default:
      return nullptr;
  }
}

}  // namespace quillet
