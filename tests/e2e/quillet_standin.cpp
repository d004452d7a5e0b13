// Stands in for quillet.exe in the installer round trips: appends the exact command line it was
// given (UTF-8, one line) to the file named by STANDIN_LOG and ends with the status named by
// STANDIN_STATUS, so an installer's reaction to each status can be seen without a real failure.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int wmain() {
  wchar_t log[MAX_PATH]{}, status[16]{};
  GetEnvironmentVariableW(L"STANDIN_LOG", log, MAX_PATH);
  GetEnvironmentVariableW(L"STANDIN_STATUS", status, 16);
  const wchar_t* line = GetCommandLineW();
  const int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8.data(), n, nullptr, nullptr);
  if (FILE* f = _wfopen(log, L"ab")) {
    std::fprintf(f, "%s\n", utf8.c_str());
    std::fclose(f);
  }
  return std::wcstol(status, nullptr, 10);
}
