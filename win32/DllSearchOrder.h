// Where this process takes DLLs from. Installers run Quillet elevated from folders that other
// users can write to (Downloads, an install folder under C:\); a DLL planted there under a system
// DLL's name would run with the installer's rights as soon as a box, the status window or the
// shell asked for it by name, as Windows looks in the program's folder first.
#pragma once

#include <windows.h>

#include <vector>

#include "win32/UniqueHandle.h"

namespace quillet {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Takes every later DLL from the system directory: through SetDefaultDllDirectories where the
// system has it (pass FindSetDefaultDllDirectories()), otherwise by taking the current directory
// out of the search and loading, by full path, the system DLLs that the window, box and shell
// paths load by name. Returns those preloaded DLLs, which must stay loaded for as long as anything
// could ask for them; empty where SetDefaultDllDirectories did the job.
std::vector<unique_hmodule> RestrictDllSearch(SetDefaultDllDirectoriesFunction setDefault);

// kernel32's SetDefaultDllDirectories, or null on a system without it (Windows 7 without
// KB2533623, Vista). Looked up, not imported, so that such a system still starts the program.
SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories();

// The DLLs RestrictDllSearch loads by full path where it must.
inline constexpr const wchar_t* kPreloadedDlls[] = {
    L"uxtheme.dll", L"dwmapi.dll",  L"version.dll", L"cryptbase.dll", L"profapi.dll",
    L"propsys.dll", L"apphelp.dll", L"userenv.dll", L"msimg32.dll",   L"oleacc.dll",
    L"clbcatq.dll", L"ntmarta.dll", L"sspicli.dll", L"comctl32.dll"};

}  // namespace quillet
