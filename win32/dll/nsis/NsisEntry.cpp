// The NSIS plug-in function: quillet::NsisRun [/FOLDER <dir>] <command text>, which pushes the
// exit status as quillet.exe would end with it ("0".."3").
#include <windows.h>

#include <string>

#include "app/Pass.h"
#include "text/DecimalText.h"
#include "win32/dll/GuestEntry.h"
#include "win32/dll/GuestStores.h"
#include "win32/dll/nsis/NsisApi.h"
#include "win32/dll/nsis/NsisFrontend.h"
#include "win32/dll/nsis/NsisStack.h"

namespace {

bool IsFolderSwitch(const std::wstring& text) {
  return text.size() == 7 &&
         CompareStringOrdinal(text.c_str(), 7, L"/FOLDER", 7, TRUE) == CSTR_EQUAL;
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl NsisRun(HWND parent, int stringSize,
                                                      wchar_t* variables,
                                                      quillet::nsis::StackEntry** stackTop,
                                                      quillet::nsis::ExtraParameters* extra) {
  using namespace quillet;
  nsis::Stack stack(stackTop, stringSize);
  const int status = guest::GuardedEntry(static_cast<int>(ExitStatus::RegistryFailed), [&] {
    std::wstring folder = nsis::Variable(variables, stringSize, nsis::kVariableInstDir);
    std::wstring text = stack.Pop().value_or(L"");
    if (IsFolderSwitch(text)) {
      folder = stack.Pop().value_or(L"");
      text = stack.Pop().value_or(L"");
    }
    const bool silent =
        extra != nullptr && extra->exec_flags != nullptr && extra->exec_flags->silent != 0;
    nsis::NsisFrontend frontend(parent, silent, std::move(folder));
    guest::GuestStores stores;
    return static_cast<int>(RunPass(frontend, stores.stores(), std::move(text)));
  });
  // Pushed even when the run failed inside, so that the script's Pop always finds it.
  try {
    stack.Push(text::DecimalText(status));
  } catch (...) {
  }
}
