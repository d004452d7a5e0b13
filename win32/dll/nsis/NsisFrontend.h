// The pass inside an NSIS installer: boxes owned by the installer's window (which may be null,
// in .onInit), none at all in a silent install, and one line in the details list per step of a
// GUI install.
#pragma once

#include <windows.h>

#include <string>

#include "win32/dll/GuestFrontend.h"

namespace quillet::nsis {

class NsisFrontend : public guest::GuestFrontend {
 public:
  NsisFrontend(HWND parent, bool silent, std::wstring addOnFolder);

  void SetStatusText(const std::wstring& text) override { AddDetail(text); }
  void Log(const std::wstring& line) override { AddDetail(line); }

 private:
  void AddDetail(const std::wstring& line);

  HWND parent_;
  bool silent_;
};

}  // namespace quillet::nsis
