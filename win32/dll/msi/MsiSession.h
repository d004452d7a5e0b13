// The installer session a custom action runs in, reduced to what the actions need: reading and
// setting a property and sending a message record. The MSI frontend talks only to this, so its
// tests can watch every message it sends; InstallerSession binds it to msi.dll.
#pragma once

#include <initializer_list>
#include <string>

namespace quillet::msi {

class Session {
 public:
  virtual ~Session() = default;
  // The property `name`; empty when it is unset or cannot be read.
  virtual std::wstring Property(const std::wstring& name) = 0;
  // Sets the property `name` (an immediate action's way to hand data on); false when refused.
  virtual bool SetProperty(const std::wstring& name, const std::wstring& value) = 0;
  // Sends a record of `fields` (field 0 first: the template the installer formats) as message
  // `kind` (an INSTALLMESSAGE_* value, with MB_* flags for a user message). Returns what
  // MsiProcessMessage returned: the button pressed, 0 when no UI handled it, -1 on error. The
  // fields are the record's own C strings, so no call builds a list of string copies.
  virtual int Send(unsigned kind, std::initializer_list<const wchar_t*> fields) = 0;
};

// `text` made literal for a record's template: the installer would otherwise format what stands
// in brackets or braces ("[ProductCode]" would become the code).
std::wstring Escaped(const std::wstring& text);

}  // namespace quillet::msi
