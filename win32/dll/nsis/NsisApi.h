// What a unicode NSIS installer hands a plug-in function, laid out as NSIS's plug-in convention
// documents it: the variables block, the stack of strings, and the installer's flags.
#pragma once

#include <windows.h>

namespace quillet::nsis {

// One entry of the installer's stack. The installer allocates each with GlobalAlloc, room for
// string_size characters in `text`; whoever pops an entry frees it with GlobalFree.
struct StackEntry {
  StackEntry* next;
  wchar_t text[1];
};

// The installer's run flags; a plug-in reads `silent` and leaves the rest alone.
struct ExecFlags {
  int autoclose;
  int all_user_var;
  int exec_error;
  int abort;
  int exec_reboot;
  int reboot_called;
  int cur_insttype;
  int plugin_api_version;
  int silent;
  int instdir_error;
  int rtl;
  int errlvl;
  int alter_reg_view;
  int status_update;
};

using PluginCallback = UINT_PTR(__cdecl*)(int message);

struct ExtraParameters {
  ExecFlags* exec_flags;
  int(__stdcall* ExecuteCodeSegment)(int, HWND);
  void(__stdcall* validate_filename)(wchar_t*);
  int(__stdcall* RegisterPluginCallback)(HMODULE, PluginCallback);
};

// Indices into the variables block: $0..$9, $R0..$R9, then $CMDLINE and $INSTDIR.
inline constexpr int kVariableInstDir = 21;

// The control ids of the installer's inner dialog that shows the progress details.
inline constexpr int kDetailsListId = 1016;

}  // namespace quillet::nsis
