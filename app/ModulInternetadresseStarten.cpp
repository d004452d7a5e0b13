#include "app/ModulInternetadresseStarten.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include "registry/LateBound.h"

namespace ModulInternetadresseStarten {

namespace {

// The shell's ANSI entry point takes texts in the ANSI code page; a character it cannot hold
// becomes '?' rather than a best-fit look-alike that would name something else.
std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr,
                                       0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

// The shell may hand an address to a handler that is a COM object; it expects the calling
// thread to be in an apartment.
class ComApartment {
 public:
  ComApartment()
      : initialized_(SUCCEEDED(
            OLE32(CoInitializeEx)(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialized_) OLE32(CoUninitialize)();
  }

 private:
  bool initialized_;
};

}  // namespace

std::intptr_t InternetadresseStarten(const std::wstring& adresse,
                                     const std::wstring& eigenesVerzeichnis) {
  const ComApartment apartment;
  const std::string datei = ToAnsi(adresse);
  const std::string verzeichnis = ToAnsi(eigenesVerzeichnis.substr(0, 3));
  const HINSTANCE result = SHELL32(ShellExecuteA)(USER32(GetDesktopWindow)(), "Open", datei.c_str(),
                                                  "", verzeichnis.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace ModulInternetadresseStarten
