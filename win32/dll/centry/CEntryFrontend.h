// The pass behind the plain C entry: boxes as the exe shows them, owned by the caller's window,
// or none with the silent flag; no status text and no log.
#pragma once

#include <windows.h>

#include <string>

#include "win32/dll/GuestFrontend.h"

namespace quillet::centry {

class CEntryFrontend : public guest::GuestFrontend {
 public:
  CEntryFrontend(HWND owner, bool silent, std::wstring addOnFolder)
      : GuestFrontend(std::move(addOnFolder), owner, silent) {}

  void SetStatusText(const std::wstring&) override {}
  void Log(const std::wstring&) override {}
};

}  // namespace quillet::centry
