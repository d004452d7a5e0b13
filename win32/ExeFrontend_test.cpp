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

TEST(ExeFrontend, ToLowerFollowsThePlatform) {
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  EXPECT_EQ(frontend.ToLower(L"VELLUMAR_1-x"), L"vellumar_1-x");
  EXPECT_EQ(frontend.ToLower(L"\u00C9\u00C4\u00D6\u00DC"), L"\u00E9\u00E4\u00F6\u00FC");
  EXPECT_EQ(frontend.ToLower(L"\u00DF"), L"\u00DF");
  EXPECT_EQ(frontend.ToLower(L""), L"");
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

TEST(ExeFrontend, AddOnListLockKeepsOtherRunsOutUntilReleased) {
  ExeFrontend frontend(GetModuleHandleW(nullptr));
  std::unique_ptr<AddOnListLock> lock = frontend.LockAddOnList();
  ASSERT_NE(lock, nullptr);
  // Another run's view of the same machine-wide mutex (it lives while a handle is open).
  const unique_kernel_handle other(
      OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kAddOnListLockName));
  ASSERT_TRUE(other);
  EXPECT_FALSE(TakenByAnotherThread(other.get()));
  lock.reset();
  EXPECT_TRUE(TakenByAnotherThread(other.get()));
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
