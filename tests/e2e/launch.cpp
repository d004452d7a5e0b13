// quillet_launch PROGRAM ARGFILE [SECONDS]: starts PROGRAM with exactly the argument text held in
// ARGFILE (UTF-8) and ends with its exit status. `wine prog ARGS` escapes double quotes when it
// builds the Windows command line; this hands a Windows program the raw text a Windows
// caller would pass.
//
// On a display nobody looks at, a message box would hold the program for good: each one the
// program shows is printed and answered with the button that does least, and a program still
// running after SECONDS (default 120) is ended, with exit status 124.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "tests/e2e/MessageBoxProbe.h"
#include "win32/UniqueHandle.h"

namespace e2e = quillet::e2e;
using quillet::unique_kernel_handle;

namespace {

std::wstring FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

struct BoxSearch {
  DWORD processId;
  std::set<HWND>* answered;
  HWND found = nullptr;
};

BOOL CALLBACK FindUnansweredBox(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16]{};
  GetClassNameW(window, className, 16);
  if (owner != search.processId || std::wcscmp(className, L"#32770") != 0 ||
      !IsWindowVisible(window) || search.answered->count(window) != 0) {
    return TRUE;
  }
  search.found = window;
  return FALSE;
}

// The first visible message box of the process that has not been answered yet.
HWND NextMessageBox(DWORD processId, std::set<HWND>& answered) {
  BoxSearch search{processId, &answered};
  EnumWindows(FindUnansweredBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void AnswerMessageBox(HWND dialog) {
  const e2e::MessageBoxSeen box = e2e::ReadMessageBox(dialog);
  const std::optional<e2e::Button> button = e2e::SafestButton(box);
  std::printf("quillet_launch: message box \"%s\": %s\nquillet_launch: answered %s\n",
              e2e::Utf8(box.caption).c_str(), e2e::Utf8(box.text).c_str(),
              button ? e2e::ToString(*button) : "(no button to press)");
  std::fflush(stdout);
  if (button) e2e::Press(dialog, *button);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) {
    std::fputs("usage: quillet_launch PROGRAM ARGFILE [SECONDS]\n", stderr);
    return 120;
  }
  std::ifstream file(argv[2], std::ios::binary);
  if (!file) {
    std::fputs("quillet_launch: cannot read the argument file\n", stderr);
    return 121;
  }
  const std::string args((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const DWORD limitMs = (argc == 4 ? std::wcstoul(argv[3], nullptr, 10) : 120) * 1000;

  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  if (!args.empty()) commandLine += L" " + FromUtf8(args);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "quillet_launch: CreateProcessW failed (%lu)\n", GetLastError());
    return 122;
  }
  const unique_kernel_handle thread(process.hThread);
  const unique_kernel_handle child(process.hProcess);

  std::set<HWND> answered;
  const ULONGLONG start = GetTickCount64();
  while (WaitForSingleObject(child.get(), 50) == WAIT_TIMEOUT) {
    if (GetTickCount64() - start > limitMs) {
      TerminateProcess(child.get(), 124);
      WaitForSingleObject(child.get(), 5000);
      std::fprintf(stderr, "quillet_launch: the program did not end within %lu s; ended it\n",
                   limitMs / 1000);
      return 124;
    }
    if (const HWND box = NextMessageBox(process.dwProcessId, answered)) {
      answered.insert(box);
      AnswerMessageBox(box);
    }
  }
  DWORD status = 123;
  GetExitCodeProcess(child.get(), &status);
  return static_cast<int>(status);
}
