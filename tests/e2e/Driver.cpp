#include "tests/e2e/Driver.h"

#include <cstdlib>
#include <cwctype>
#include <map>
#include <set>
#include <sstream>

#include "tests/e2e/MessageBoxProbe.h"
#include "win32/UniqueHandle.h"

#ifndef QUILLET_E2E_QUILLET_EXE
#error "CMake passes the path of quillet.exe as QUILLET_E2E_QUILLET_EXE"
#endif

namespace quillet {

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kStatusCaption[] = L"Installation";
constexpr DWORD kPollMilliseconds = 10;
// How long a box may take to get its icon onto the screen (or a window of a test running beside
// ours to get out of its way) before it is pressed regardless.
constexpr long long kIconPatienceMs = 3000;
// A pressed box that is still there after this long is pressed again.
constexpr long long kRepressAfterMs = 3000;

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::wstring StoredText(HWND window) {
  wchar_t buffer[4096] = {};
  const int length = InternalGetWindowText(window, buffer, 4096);
  return std::wstring(buffer, length > 0 ? length : 0);
}

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId) search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM parameter) {
  if (EqualsIgnoringCase(ClassOf(child), L"Static")) {
    reinterpret_cast<std::vector<std::wstring>*>(parameter)->push_back(StoredText(child));
  }
  return TRUE;
}

std::vector<std::wstring> StaticTextsOf(HWND window) {
  std::vector<std::wstring> texts;
  EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool CreateDirectories(const std::wstring& path) {
  for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1)) {
    CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  }
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring NewTemporaryFolder() {
  static unsigned counter = 0;
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + L"quillet-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter) + L"\\";
}

// Watches one process's windows and answers its message boxes.
class Watcher {
 public:
  Watcher(DWORD processId, const std::vector<Button>& answers, Clock::time_point start,
          RunResult& result)
      : processId_(processId), answers_(answers), start_(start), result_(result) {}

  void Poll() {
    const std::vector<HWND> windows = TopLevelWindowsOf(processId_);
    const std::set<HWND> present(windows.begin(), windows.end());
    std::erase_if(pressed_, [&](const auto& entry) { return !present.count(entry.first); });
    std::erase_if(pending_, [&](const auto& entry) { return !present.count(entry.first); });
    for (HWND window : windows) {
      const std::wstring className = ClassOf(window);
      if (className == L"#32770") {
        OnMessageBox(window);
      } else if (StoredText(window) == kStatusCaption) {
        OnStatusWindow(window);
      } else if (IsWindowVisible(window) && others_.insert(window).second) {
        result_.otherWindows.push_back({className, StoredText(window)});
      }
    }
  }

  std::size_t AnswersLeft() const { return answers_.size() - nextAnswer_; }

 private:
  struct Pressed {
    std::size_t index;  // into result_.messageBoxes
    long long atMs;
  };

  void OnMessageBox(HWND dialog) {
    if (const auto it = pressed_.find(dialog); it != pressed_.end()) {
      // Still there: the click was lost; give it another.
      if (MsSince(start_) - it->second.atMs >= kRepressAfterMs) {
        const MessageBoxSeen& box = result_.messageBoxes[it->second.index];
        if (box.pressed) Press(dialog, *box.pressed);
        it->second.atMs = MsSince(start_);
      }
      return;
    }
    // Its texts and buttons are in place only once the box is shown.
    if (!IsWindowVisible(dialog)) return;
    const long long now = MsSince(start_);
    const long long firstSeen = pending_.try_emplace(dialog, now).first->second;

    MessageBoxSeen box = ReadMessageBox(dialog);
    box.seenAtMs = firstSeen;
    box.icon = ReadMessageBoxIcon(dialog);
    if (box.icon == Icon::Unknown && now - firstSeen < kIconPatienceMs) return;  // not painted
    pending_.erase(dialog);

    std::optional<Button> answer;
    if (nextAnswer_ < answers_.size()) answer = answers_[nextAnswer_++];
    if (answer && HasButton(box, *answer)) {
      box.pressed = answer;
    } else {
      box.asScripted = false;
      box.pressed = SafestButton(box);
    }
    if (box.pressed) {
      Press(dialog, *box.pressed);
    } else {
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    result_.messageBoxes.push_back(box);
    pressed_[dialog] = {result_.messageBoxes.size() - 1, MsSince(start_)};
  }

  void OnStatusWindow(HWND window) {
    StatusWindowSeen& status = result_.statusWindow;
    status.seen = true;
    if (!IsWindowVisible(window)) return;
    const long long now = MsSince(start_);
    if (!status.everVisible) status.firstVisibleMs = now;
    status.everVisible = true;
    status.lastVisibleMs = now;
    status.caption = StoredText(window);
    status.staticTexts = StaticTextsOf(window);
    RECT client{};
    if (GetClientRect(window, &client)) {
      status.clientWidth = client.right - client.left;
      status.clientHeight = client.bottom - client.top;
    }
  }

  DWORD processId_;
  const std::vector<Button>& answers_;
  std::size_t nextAnswer_ = 0;
  Clock::time_point start_;
  RunResult& result_;
  std::map<HWND, long long> pending_;  // shown boxes waiting for their icon: first seen
  std::map<HWND, Pressed> pressed_;
  std::set<HWND> others_;
};

void AppendEscaped(std::ostringstream& out, const std::wstring& text) {
  out << '"';
  for (const char c : Utf8(text)) {
    if (c == '\r') {
      out << "\\r";
    } else if (c == '\n') {
      out << "\\n";
    } else {
      out << c;
    }
  }
  out << '"';
}

}  // namespace

bool RunResult::RanAsScripted() const {
  if (!started || timedOut || answersLeft != 0) return false;
  for (const MessageBoxSeen& box : messageBoxes) {
    if (!box.asScripted) return false;
  }
  return true;
}

std::wstring QuilletExePath() {
  // Another build of the product (a release build, a stripped one) can be put to the same tests.
  if (const char* other = std::getenv("QUILLET_E2E_QUILLET_EXE"); other && *other) {
    return WindowsPathOf(other);
  }
  return WindowsPathOf(QUILLET_E2E_QUILLET_EXE);
}

RunResult RunQuillet(const std::wstring& argumentText, const std::vector<Button>& answers,
                     const RunOptions& options) {
  RunResult result;
  std::wstring folder = options.directory.empty() ? NewTemporaryFolder() : options.directory;
  if (folder.back() != L'\\') folder += L'\\';
  const bool ownFolder =
      options.directory.empty() || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
  result.ownDirectory = folder;
  const std::wstring program = options.program.empty() ? QuilletExePath() : options.program;
  const std::wstring copy = folder + L"quillet.exe";
  if (!CreateDirectories(folder) || !CopyFileW(program.c_str(), copy.c_str(), FALSE)) {
    result.error = L"cannot copy " + program + L" to " + copy + L" (error " +
                   std::to_wstring(GetLastError()) + L")";
    return result;
  }

  std::wstring commandLine = L"\"" + copy + L"\"";
  if (!argumentText.empty()) commandLine += L" " + argumentText;
  std::wstring desktop = options.desktop;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!desktop.empty()) startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION info{};
  const Clock::time_point start = Clock::now();
  if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    result.error = L"CreateProcessW failed (error " + std::to_wstring(GetLastError()) + L")";
  } else {
    result.started = true;
    const unique_kernel_handle process(info.hProcess);
    const unique_kernel_handle thread(info.hThread);
    Watcher watcher(info.dwProcessId, answers, start, result);
    for (;;) {
      watcher.Poll();
      if (WaitForSingleObject(process.get(), kPollMilliseconds) == WAIT_OBJECT_0) break;
      if (Clock::now() - start >= options.timeout) {
        result.timedOut = true;
        TerminateProcess(process.get(), 259);
        WaitForSingleObject(process.get(), 10000);
        break;
      }
    }
    result.wallMs = MsSince(start);
    GetExitCodeProcess(process.get(), &result.exitCode);
    result.answersLeft = watcher.AnswersLeft();
  }

  // The process is gone, but its image may stay mapped a moment longer, and a program it
  // started may still be working in the folder.
  for (int attempt = 0; attempt < 200; ++attempt) {
    DeleteFileW(copy.c_str());
    if (ownFolder) RemoveDirectoryW(folder.c_str());
    if (GetFileAttributesW((ownFolder ? folder : copy).c_str()) == INVALID_FILE_ATTRIBUTES) break;
    Sleep(10);
  }
  return result;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

const char* ToString(Button button) {
  switch (button) {
    case Button::Ok:
      return "OK";
    case Button::Yes:
      return "Yes";
    case Button::No:
      return "No";
    case Button::Cancel:
      return "Cancel";
  }
  return "?";
}

const char* ToString(Icon icon) {
  switch (icon) {
    case Icon::None:
      return "none";
    case Icon::Information:
      return "information";
    case Icon::Error:
      return "error";
    case Icon::Question:
      return "question";
    case Icon::Warning:
      return "warning";
    case Icon::Unknown:
      return "unknown";
  }
  return "?";
}

std::string Describe(const RunResult& result) {
  std::ostringstream out;
  if (!result.started) {
    out << "not started: " << Utf8(result.error) << "\n";
    return out.str();
  }
  out << "exit code " << result.exitCode << (result.timedOut ? " (timed out, terminated)" : "")
      << ", " << result.wallMs << " ms, own directory " << Utf8(result.ownDirectory) << "\n";
  for (const MessageBoxSeen& box : result.messageBoxes) {
    out << "  message box at " << box.seenAtMs << " ms: caption ";
    AppendEscaped(out, box.caption);
    out << ", text ";
    AppendEscaped(out, box.text);
    out << ", buttons" << (box.hasOk ? " OK" : "") << (box.hasYes ? " Yes" : "")
        << (box.hasNo ? " No" : "") << (box.hasCancel ? " Cancel" : "") << ", icon "
        << ToString(box.icon) << ", pressed " << (box.pressed ? ToString(*box.pressed) : "-")
        << (box.asScripted ? "" : " (NOT SCRIPTED)") << "\n";
  }
  if (result.answersLeft != 0) out << "  " << result.answersLeft << " answer(s) left unused\n";
  const StatusWindowSeen& status = result.statusWindow;
  if (status.everVisible) {
    out << "  status window visible " << status.firstVisibleMs << ".." << status.lastVisibleMs
        << " ms, client " << status.clientWidth << "x" << status.clientHeight << ", caption ";
    AppendEscaped(out, status.caption);
    for (const std::wstring& text : status.staticTexts) {
      out << ", static ";
      AppendEscaped(out, text);
    }
    out << "\n";
  } else if (status.seen) {
    out << "  status window created, never visible\n";
  }
  for (const OtherWindowSeen& other : result.otherWindows) {
    out << "  other window " << Utf8(other.className) << " ";
    AppendEscaped(out, other.caption);
    out << "\n";
  }
  return out.str();
}

}  // namespace e2e

}  // namespace quillet
