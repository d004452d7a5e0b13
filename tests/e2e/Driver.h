// The end-to-end driver: runs the real quillet.exe the way an installer does (one raw command
// line), watches the windows of that process, answers its message boxes from a script, and
// reports what it saw together with the exit status. It knows nothing of GoogleTest, so any
// Windows test program can use it.
//
// Every test that changes HKLM\Software\Orvo\Brannick (in the 32-bit view) or the http handler
// of the prefix must run under the ctest resource lock QUILLET_E2E_LOCK (CMakeLists.txt), or two
// test processes trample each other's registry state. tests/e2e/CMakeLists.txt sets it for every
// test added with quillet_add_e2e_test().
#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "testing/WindowsPath.h"

namespace quillet {

namespace e2e {

// Where a test's scripted answer presses.
enum class Button { Ok, Yes, No, Cancel };

// The icon a message box shows, told apart by its pixels on the screen: Wine keeps icon handles
// per process, so the handle in the box cannot be compared with our own LoadIcon. Unknown: an
// icon control is shown but matched none of the system icons.
enum class Icon { None, Information, Error, Question, Warning, Unknown };

struct MessageBoxSeen {
  std::wstring caption;
  std::wstring text;   // the message's static text (control id 0xFFFF)
  bool hasOk = false;  // the buttons shown (Wine keeps the others hidden in the dialog)
  bool hasYes = false;
  bool hasNo = false;
  bool hasCancel = false;
  Icon icon = Icon::None;
  // False when no answer was scripted for it, or the scripted button was not there: the driver
  // then pressed the safest button there was.
  bool asScripted = true;
  std::optional<Button> pressed;  // empty when the box had none of the four buttons
  long long seenAtMs = 0;         // since the process was started
};

// The status window FormQuillet: a top-level window of the process, not a message box, with the
// caption "Installation".
struct StatusWindowSeen {
  bool seen = false;  // existed at some poll, shown or not
  bool everVisible = false;
  // The rest as at the last poll that found it visible.
  std::wstring caption;
  std::vector<std::wstring> staticTexts;  // texts of its Static children
  int clientWidth = 0;
  int clientHeight = 0;
  long long firstVisibleMs = -1;  // since the process was started; -1: never visible
  long long lastVisibleMs = -1;
};

// A visible top-level window of the process that is neither a message box nor the status window.
struct OtherWindowSeen {
  std::wstring className;
  std::wstring caption;
};

struct RunOptions {
  std::chrono::milliseconds timeout{60000};
  // The folder the program is copied into and started from (its own directory); empty: a new
  // folder under the temporary directory. The copy is deleted afterwards, and a folder the
  // driver made is removed.
  std::wstring directory;
  // The program to run; empty: QuilletExePath(). The copy is always named quillet.exe.
  std::wstring program;
  // The desktop it starts on ("station\desktop"); empty: the driver's own.
  std::wstring desktop;
};

struct RunResult {
  bool started = false;
  std::wstring error;     // why it did not start
  bool timedOut = false;  // still running at the timeout, so the driver terminated it
  DWORD exitCode = 0;
  std::wstring ownDirectory;  // the folder the copy ran in, with a trailing backslash
  std::vector<MessageBoxSeen> messageBoxes;
  std::size_t answersLeft = 0;  // scripted answers no box asked for
  StatusWindowSeen statusWindow;
  std::vector<OtherWindowSeen> otherWindows;
  long long wallMs = 0;  // from just before the start to the observed exit

  // Started, ended by itself, every box answered as scripted and no answer left over.
  bool RanAsScripted() const;
};

// Copies the program into its folder and starts it with the raw command line
// `"<copy>" <argumentText>` (just `"<copy>"` for an empty text). The n-th message box gets the
// n-th answer. Polls the process's top-level windows every ~10 ms until it exits.
RunResult RunQuillet(const std::wstring& argumentText, const std::vector<Button>& answers = {},
                     const RunOptions& options = {});

// The quillet.exe under test: the one the environment variable QUILLET_E2E_QUILLET_EXE names
// (a Unix or a Windows path), otherwise the one of this build tree (CMake builds its path in).
std::wstring QuilletExePath();

// WindowsPathOf (testing/WindowsPath.h) maps the paths CMake builds in.
using quillet::WindowsPathOf;

// Readable forms for failure messages.
std::string Utf8(const std::wstring& text);
const char* ToString(Button button);
const char* ToString(Icon icon);
std::string Describe(const RunResult& result);

}  // namespace e2e

}  // namespace quillet
