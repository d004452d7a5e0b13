/* The C entry as a C caller sees it: only win32/dll/quillet.h, compiled as C, calling through a
   pointer of the header's type, so that a calling convention or a signature that the header and
   the DLL disagree on shows here (on i686 a wrong one corrupts the stack). */
#include "centry_driver.h"

#include "win32/dll/quillet.h"

int CallQuilletRun(HMODULE dll, HWND owner, const wchar_t* addOnFolder, const wchar_t* commandText,
                   unsigned flags) {
  typedef int(QUILLET_CALL * QuilletRunFunction)(HWND, const wchar_t*, const wchar_t*, unsigned);
  QuilletRunFunction run = (QuilletRunFunction)(void*)GetProcAddress(dll, "QuilletRun");
  if (run == NULL) return -1;
  return run(owner, addOnFolder, commandText, flags);
}
