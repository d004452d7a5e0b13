// The plain C entry (win32/dll/quillet.h): the whole pass, as quillet.exe runs it, with the
// add-on's folder and the command text as arguments of their own.
#include <windows.h>

#include "app/Pass.h"
#include "win32/dll/GuestEntry.h"
#include "win32/dll/GuestStores.h"
#include "win32/dll/centry/CEntryFrontend.h"
#include "win32/dll/quillet.h"

extern "C" __declspec(dllexport) int QUILLET_CALL
    QuilletRun(HWND owner, const wchar_t* addOnFolder, const wchar_t* commandText, unsigned flags) {
  using namespace quillet;
  return guest::GuardedEntry(static_cast<int>(ExitStatus::RegistryFailed), [&] {
    centry::CEntryFrontend frontend(owner, (flags & QUILLET_SILENT) != 0,
                                    addOnFolder ? addOnFolder : L"");
    guest::GuestStores stores;
    return static_cast<int>(RunPass(frontend, stores.stores(), commandText ? commandText : L""));
  });
}
