// quillet_launch PROGRAM ARGFILE: starts PROGRAM with exactly the argument text held in ARGFILE
// (UTF-8) and ends with its exit status. `wine prog ARGS` escapes double quotes when it
// builds the Windows command line; this hands a Windows program the raw text a Windows
// caller would pass.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::wstring FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
  std::wstring text(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: quillet_launch PROGRAM ARGFILE\n", stderr);
    return 120;
  }
  std::ifstream file(argv[2], std::ios::binary);
  if (!file) {
    std::fputs("quillet_launch: cannot read the argument file\n", stderr);
    return 121;
  }
  const std::string args((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

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
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 123;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
