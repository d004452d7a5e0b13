#include "win32/ExeFrontend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "win32/AddOnListMutex.h"
#include "win32/ProcessContext.h"
#include "win32/UniqueHandle.h"

namespace quillet {

namespace {

struct CommandLineCase {
  const wchar_t* commandLine;
  const wchar_t* argumentText;
};

TEST(ArgumentTextOf, SkipsTheProgramNameByTheWindowsRule) {
  const CommandLineCase cases[] = {
      {L"quillet.exe Vellumar", L"Vellumar"},
      {L"quillet.exe", L""},
      {L"", L""},
      {L"quillet.exe   -s Vellumar", L"-s Vellumar"},
      {L"quillet.exe\tVellumar", L"Vellumar"},
      {L"quillet.exe \t \"a\",\"b c\"", L"\"a\",\"b c\""},
      // A quoted name may hold blanks and ends at its closing quote, even without a blank after.
      {L"\"C:\\Program Files\\Quillet\\quillet.exe\" Vellumar", L"Vellumar"},
      {L"\"C:\\Programme\\quillet.exe\"Vellumar,x", L"Vellumar,x"},
      {L"\"C:\\quillet.exe\"", L""},
      {L"\"\" Vellumar", L"Vellumar"},
      // An unclosed quote takes the whole line as the name.
      {L"\"C:\\Program Files\\quillet.exe Vellumar", L""},
      // Everything after the leading blanks stays as passed, trailing blanks and quotes too.
      {L"quillet.exe \"Vel,lumar\" , x  ", L"\"Vel,lumar\" , x  "},
      {L"C:\\quillet.exe \xFF02Vellumar\xFF02", L"\xFF02Vellumar\xFF02"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ArgumentTextOf(c.commandLine), c.argumentText) << "command line: " << c.commandLine;
  }
}

TEST(DirectoryOf, DropsTheFileNameAndKeepsADriveRoot) {
  const CommandLineCase cases[] = {
      {L"C:\\Programme\\Quillet\\quillet.exe", L"C:\\Programme\\Quillet"},
      {L"C:\\quillet.exe", L"C:\\"},
      {L"\\\\?\\C:\\quillet.exe", L"\\\\?\\C:\\"},
      {L"\\\\server\\share\\quillet.exe", L"\\\\server\\share"},
      {L"quillet.exe", L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DirectoryOf(c.commandLine), c.argumentText) << c.commandLine;
}

TEST(ExeFrontend, OwnDirectoryHoldsTheRunningProgram) {
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  const std::wstring directory = frontend.OwnDirectory();
  ASSERT_GE(directory.size(), 3u);
  EXPECT_NE(directory.back(), L'\\');
  EXPECT_NE(GetFileAttributesW((directory + L"\\win_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES)
      << "own directory: " << directory;
}

TEST(ExeFrontend, RunsAsAnOrdinaryUser) {
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  // The tests run as an ordinary user, not as LocalSystem, whatever their elevation.
  EXPECT_FALSE(frontend.RunsAsSystem());
  EXPECT_FALSE(ProcessRunsAsSystem());
}

// What a message box showed, and what Show returned after the button was pressed.
struct SeenBox {
  bool found = false;
  std::wstring text;
  bool hasOk = false;
  bool hasYesNo = false;
  MessageAnswer answer = MessageAnswer::Ok;
};

// Shows `message` and presses `button` from a second thread as soon as the box is there.
SeenBox ShowAndPress(ExeFrontend& frontend, const Message& message, int button) {
  SeenBox seen;
  std::thread answerer([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      if (const HWND box = FindWindowW(L"#32770", message.title.c_str())) {
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        seen.text = text;
        seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
        seen.hasYesNo = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
        seen.found = true;
        SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  seen.answer = frontend.Show(message);
  answerer.join();
  return seen;
}

struct ShowCase {
  MessageButtons buttons;
  int press;
  MessageAnswer answer;
};

TEST(ExeFrontend, ShowShowsTheTextAndReturnsTheButtonPressed) {
  const ShowCase cases[] = {
      {MessageButtons::YesNo, IDYES, MessageAnswer::Yes},
      {MessageButtons::YesNo, IDNO, MessageAnswer::No},
      {MessageButtons::Ok, IDOK, MessageAnswer::Ok},
  };
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  const std::wstring text = L"Zeile 1\r\nM\u00F6chten Sie den Kestrelview jetzt herunterladen ?";
  int n = 0;
  for (const auto& c : cases) {
    const Message message{L"Quillet-Test " + std::to_wstring(++n), text, MessageIcon::Question,
                          c.buttons};
    const SeenBox seen = ShowAndPress(frontend, message, c.press);
    ASSERT_TRUE(seen.found) << n;
    EXPECT_EQ(seen.text, text) << n;
    EXPECT_EQ(seen.hasYesNo, c.buttons == MessageButtons::YesNo) << n;
    EXPECT_EQ(seen.answer, c.answer) << n;
  }
}

// Whether another thread could take `mutex` right now (it gives it back at once).
bool TakenByAnotherThread(HANDLE mutex) {
  bool taken = false;
  std::thread other([&] {
    if (WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0) {
      taken = true;
      ReleaseMutex(mutex);
    }
  });
  other.join();
  return taken;
}

inline void DeleteBoundary(HANDLE boundary) { DeleteBoundaryDescriptor(boundary); }
inline void CloseNamespace(HANDLE space) { ClosePrivateNamespace(space, 0); }

// The lock's private namespace as another elevated run opens it: bounded by the Administrators
// group, named "Quillet". Empty when this platform or token cannot open it.
struct LockNamespace {
  unique_handle<HANDLE, &DeleteBoundary> boundary;
  unique_handle<HANDLE, &CloseNamespace> space;

  LockNamespace() : boundary(CreateBoundaryDescriptorW(L"Quillet", 0)) {
    alignas(SID) BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    HANDLE spelt = boundary.release();
    const bool added =
        spelt != nullptr &&
        CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
        AddSIDToBoundaryDescriptor(&spelt, administrators);
    boundary.reset(spelt);
    if (added) space.reset(OpenPrivateNamespaceW(boundary.get(), L"Quillet"));
  }
};

// Another run's view of the lock's mutex while a run holds it: in the namespace when that
// exists, else the machine-wide fallback (a mutex lives while a handle is open).
unique_kernel_handle OpenLockAsAnotherRun() {
  const LockNamespace space;
  return unique_kernel_handle(
      OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE,
                 space.space ? L"Quillet\\AddOnListe" : L"Global\\Quillet.AddOnListe"));
}

TEST(ExeFrontend, AddOnListLockKeepsOtherRunsOutUntilReleased) {
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  std::unique_ptr<AddOnListLock> lock = frontend.LockAddOnList();
  ASSERT_NE(lock, nullptr);
  const unique_kernel_handle other = OpenLockAsAnotherRun();
  ASSERT_TRUE(other);
  EXPECT_FALSE(TakenByAnotherThread(other.get()));
  lock.reset();
  EXPECT_TRUE(TakenByAnotherThread(other.get()));
}

// Any user may make and hold the Global\\ name; an elevated run takes its lock in the namespace
// that only administrators can make, and does not wait for such a squatter.
TEST(ExeFrontend, AddOnListLockIsNotHeldUpByASquatter) {
  if (!LockNamespace().space) {
    // Nobody holds the lock now, so the namespace is there only if this run can make it.
    ExeFrontend probe(GetModuleHandleW(nullptr));
    const std::unique_ptr<AddOnListLock> held = probe.LockAddOnList();
    if (!LockNamespace().space)
      GTEST_SKIP() << "no private namespace here (error " << GetLastError() << ")";
  }
  const unique_kernel_handle squatted(CreateMutexW(nullptr, TRUE, L"Global\\Quillet.AddOnListe"));
  ASSERT_TRUE(squatted);
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  std::unique_ptr<AddOnListLock> lock;
  std::thread run([&] { lock = frontend.LockAddOnList(); });
  run.join();
  EXPECT_NE(lock, nullptr);
  lock.reset();
  ReleaseMutex(squatted.get());
}

TEST(ExeFrontend, AddOnListLockLeftByADeadRunIsTaken) {
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  std::thread dying([&] {
    // Ends while holding it, as a run that crashed would.
    static_cast<void>(frontend.LockAddOnList().release());
  });
  dying.join();
  const auto start = std::chrono::steady_clock::now();
  const std::unique_ptr<AddOnListLock> lock = frontend.LockAddOnList();
  EXPECT_NE(lock, nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace

}  // namespace quillet
