// quillet_http_recorder "LOGFILE" ADDRESS: stands in for the web browser in the test prefix.
// Appends one line per start to LOGFILE (UTF-8): its working directory, a tab, the program file
// name of the process that started it, a tab, and the raw rest of its command line after
// LOGFILE, so a test sees exactly what the shell was asked to open, where, and by whom.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "win32/UniqueHandle.h"

using quillet::unique_kernel_handle;

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Skips one command-line word (a quoted one up to its closing quote) and the blanks after it.
std::wstring_view SkipWord(std::wstring_view line, std::wstring* word) {
  std::size_t end = 0;
  if (!line.empty() && line.front() == L'"') {
    const std::size_t closing = std::min(line.find(L'"', 1), line.size());
    if (word) *word = std::wstring(line.substr(1, closing - 1));
    end = std::min(closing + 1, line.size());
  } else {
    while (end < line.size() && !IsBlank(line[end])) ++end;
    if (word) *word = std::wstring(line.substr(0, end));
  }
  while (end < line.size() && IsBlank(line[end])) ++end;
  return line.substr(end);
}

// The program file name of the process that started this one; empty when it is gone.
std::wstring ParentProgram() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  const unique_kernel_handle owner(snapshot);
  std::vector<PROCESSENTRY32W> processes;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    processes.push_back(entry);
  }
  for (const PROCESSENTRY32W& self : processes) {
    if (self.th32ProcessID != GetCurrentProcessId()) continue;
    for (const PROCESSENTRY32W& parent : processes) {
      if (parent.th32ProcessID == self.th32ParentProcessID) return parent.szExeFile;
    }
  }
  return {};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring logFile;
  const std::wstring_view rest = SkipWord(SkipWord(GetCommandLineW(), nullptr), &logFile);
  if (logFile.empty()) return 2;

  wchar_t directory[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, directory);
  const std::wstring entry =
      std::wstring(directory) + L"\t" + ParentProgram() + L"\t" + std::wstring(rest);
  const int size = WideCharToMultiByte(CP_UTF8, 0, entry.data(), static_cast<int>(entry.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string line(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, entry.data(), static_cast<int>(entry.size()), line.data(), size,
                      nullptr, nullptr);
  line += '\n';

  const HANDLE opened = CreateFileW(logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return 3;
  const unique_kernel_handle file(opened);
  DWORD written = 0;
  const bool ok =
      WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return ok && written == line.size() ? 0 : 4;
}
