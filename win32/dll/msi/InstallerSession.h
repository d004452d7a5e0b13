// The session of a running custom action, through msi.dll loaded from the system directory for
// the length of one action and freed with this object.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <msi.h>
#include <msiquery.h>

#include "win32/UniqueHandle.h"
#include "win32/dll/msi/MsiSession.h"

namespace quillet::msi {

class InstallerSession : public Session {
 public:
  explicit InstallerSession(MSIHANDLE install);
  // False when msi.dll or one of its functions could not be had; the session then reads empty
  // properties and its messages go nowhere (-1).
  bool Usable() const { return usable_; }

  std::wstring Property(const std::wstring& name) override;
  bool SetProperty(const std::wstring& name, const std::wstring& value) override;
  int Send(unsigned kind, std::initializer_list<const wchar_t*> fields) override;

 private:
  MSIHANDLE install_;
  unique_hmodule msi_;
  decltype(&::MsiGetPropertyW) getProperty_ = nullptr;
  decltype(&::MsiSetPropertyW) setProperty_ = nullptr;
  decltype(&::MsiCreateRecord) createRecord_ = nullptr;
  decltype(&::MsiRecordSetStringW) setString_ = nullptr;
  decltype(&::MsiProcessMessage) processMessage_ = nullptr;
  bool usable_ = false;
};

}  // namespace quillet::msi
