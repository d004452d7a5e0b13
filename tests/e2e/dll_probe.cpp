// A stand-in for a system DLL that someone planted beside quillet.exe; CMake builds it under each
// name such a DLL could have. When a process loads it, it leaves "<its own path>.loaded" beside
// itself, holding the path of that process's program (UTF-16), and then fails its start: the
// loader unloads it again, so the load fails as if the file were not there and the program goes
// on where it can. It exports none of the functions of the DLL it pretends to be; staying loaded,
// it would break every later call into that DLL.
#include <windows.h>

#include "win32/UniqueHandle.h"

using quillet::unique_kernel_handle;

namespace {

constexpr DWORD kPathSize = 32768;
wchar_t ownPath[kPathSize + 8];
wchar_t programPath[kPathSize + 1];

void LeaveMarker(HMODULE self) {
  const DWORD own = GetModuleFileNameW(self, ownPath, kPathSize);
  DWORD program = GetModuleFileNameW(nullptr, programPath, kPathSize);
  if (own == 0 || own >= kPathSize || program >= kPathSize) return;
  lstrcpyW(ownPath + own, L".loaded");
  programPath[program++] = L'\n';
  const HANDLE opened = CreateFileW(ownPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return;
  const unique_kernel_handle file(opened);
  DWORD written = 0;
  WriteFile(file.get(), programPath, program * sizeof(wchar_t), &written, nullptr);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  LeaveMarker(self);
  return FALSE;
}
