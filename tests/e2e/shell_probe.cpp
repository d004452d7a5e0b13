// shell_probe check [SECONDS]: asks the desktop shell (explorer.exe) to start this program once
// more, by the route quillet.exe takes to open the download page when it runs elevated, and
// waits until that copy has run. scripts/wine-env.sh runs it as the last step of bringing Wine
// up: an explorer.exe that came up before RPCSS never registers the shell's window list, and then
// every later test of that route would fail for a reason that has nothing to do with the product.
//
// Exit status: 0 the copy ran; 1 the shell refused (a step of the route failed, such as creating
// CLSID_ShellWindows); 2 the shell accepted, but no copy ran within SECONDS (default 60); 3 the
// probe could not prepare its marker file. Started without arguments (as the shell starts it),
// it leaves the marker beside itself and ends.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "win32/DesktopShell.h"

namespace {

std::wstring OwnPath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring self = OwnPath();
  const std::wstring marker = self + L".ran";
  if (argc < 2) {
    const HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(file);
    return 0;
  }
  if (std::wcscmp(argv[1], L"check") != 0) return 3;
  const unsigned long long limit = argc > 2 ? std::wcstoull(argv[2], nullptr, 10) : 60;
  if (!DeleteFileW(marker.c_str()) && Exists(marker)) return 3;

  const std::wstring directory = self.substr(0, self.rfind(L'\\'));
  if (!quillet::ShellExecuteAsDesktopUser(self, directory)) {
    std::puts(
        "shell_probe: the desktop shell refused: a step from its window list to "
        "ShellExecute failed");
    return 1;
  }
  const ULONGLONG deadline = GetTickCount64() + limit * 1000;
  while (!Exists(marker)) {
    if (GetTickCount64() >= deadline) {
      std::printf(
          "shell_probe: the desktop shell accepted, but the program had not run "
          "after %llu s\n",
          limit);
      return 2;
    }
    Sleep(100);
  }
  DeleteFileW(marker.c_str());
  return 0;
}
