/* Quillet's plain C entry, for setup tools that call a function of a DLL (Inno Setup's
   `external`, and others). Link nothing: load quillet.dll and call QuilletRun. Match the DLL to
   the setup: a 32-bit setup takes the i686 quillet.dll, a 64-bit one the x86_64 quillet.dll. */
#ifndef QUILLET_H
#define QUILLET_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define QUILLET_CALL __stdcall
#else
#define QUILLET_CALL
#endif

/* No message boxes: each is answered with the button that does least (OK, or No). */
#define QUILLET_SILENT 1u

/* Registers (three or more fields) or removes (one or two) an add-on, after the host version
   check, as quillet.exe does with the same command text. `owner`: the window that owns message
   boxes (may be NULL). `addOnFolder`: the add-on's folder, which completes a program file name
   given without a folder; NULL or empty refuses such a name (status 2). `commandText`: the
   fields, as quillet.exe takes them after its own name. Returns quillet.exe's exit status:
   0 done, 1 a registry write failed, 2 refused because of the command text, 3 host outdated. */
int QUILLET_CALL QuilletRun(HWND owner, const wchar_t* addOnFolder, const wchar_t* commandText,
                            unsigned flags);

#ifdef __cplusplus
}
#endif

#endif
