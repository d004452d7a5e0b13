/* The small C driver of the C entry (centry_driver.c). */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* QuilletRun of `dll` with these arguments; -1 when the DLL does not export it. */
int CallQuilletRun(HMODULE dll, HWND owner, const wchar_t* addOnFolder, const wchar_t* commandText,
                   unsigned flags);

#ifdef __cplusplus
}
#endif
