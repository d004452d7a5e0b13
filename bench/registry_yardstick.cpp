// registry_yardstick NAME: the registry work of one silent install and nothing else, as the
// fastest a program can do it: the host version read, the add-on key test, its creation, the
// nine value writes, the list read and the list write, with the same ANSI calls, access masks
// and one open and close per operation. scripts/bench-wine times quillet.exe against it.
// Windows only; a target of the Windows builds, linked statically like the product.
//
// Built with QUILLET_YARDSTICK_PRODUCT_IMPORTS it also imports the DLLs that quillet.exe needs
// for its window, message boxes, shell call and date conversion, without calling them: under
// Wine, loading those at start-up would be most of what a silent install costs beyond the
// registry work (which is why quillet.exe binds them only when it calls them), and this
// variant measures exactly that share.
#include <windows.h>

#ifdef QUILLET_YARDSTICK_PRODUCT_IMPORTS
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#endif

#include <string>
#include <string_view>

#include "app/Facts.h"
#include "win32/UniqueHandle.h"

namespace facts = quillet::facts;
using quillet::unique_hkey;

namespace {

// In the host's 32-bit view, as quillet.exe asks for it, so that the 64-bit build is measured
// against the same work.
constexpr REGSAM kRead = 0x19 | KEY_WOW64_32KEY;
constexpr REGSAM kAll = 0x3F | KEY_WOW64_32KEY;

// The host's names are ASCII, so each wide character is its own ANSI byte.
std::string Ascii(std::wstring_view text) { return std::string(text.begin(), text.end()); }

std::string ReadText(const std::string& path, const std::string& name) {
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, kRead, key.put()) != ERROR_SUCCESS) {
    return {};
  }
  std::string text;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    text.assign(size + 1, ' ');
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &size) == ERROR_SUCCESS) {
      text.resize(size > 0 && text[size - 1] == '\0' ? size - 1 : size);
    } else {
      text.clear();
    }
  }
  return text;
}

void Write(const std::string& path, const std::string& name, DWORD type, const void* data,
           DWORD size) {
  unique_hkey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, kAll, key.put()) != ERROR_SUCCESS) return;
  RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

void WriteText(const std::string& path, const std::string& name, const std::string& text) {
  Write(path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void WriteNumber(const std::string& path, const std::string& name, DWORD number) {
  Write(path, name, REG_DWORD, &number, sizeof number);
}

#ifdef QUILLET_YARDSTICK_PRODUCT_IMPORTS
// Referenced but never called (no caller passes this many arguments): the loader maps the DLLs
// all the same.
void ReferenceProductImports(int argc) {
  if (argc < 1000) return;
  MessageBoxW(nullptr, L"", L"", MB_OK);
  GetStockObject(WHITE_BRUSH);
  ShellExecuteW(nullptr, nullptr, nullptr, nullptr, nullptr, SW_SHOWNORMAL);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  SysFreeString(nullptr);
}
#else
void ReferenceProductImports(int) {}
#endif

}  // namespace

int main(int argc, char** argv) {
  ReferenceProductImports(argc);
  const std::string name = argc > 1 ? argv[1] : "Vellumar";
  const std::string host = Ascii(facts::kHostKey);
  const std::string list = Ascii(facts::kAddOnList);
  const std::string key = Ascii(facts::kAddOnKeyPrefix) + name;

  ReadText(Ascii(facts::kVersionKey), Ascii(facts::kVersionValue));

  unique_hkey probe;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, kRead, probe.put()) != ERROR_SUCCESS) {
    unique_hkey created;
    DWORD disposition = 0;
    std::string keyClass = Ascii(facts::kAddOnKeyClass);
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, keyClass.data(), 0, kAll, nullptr,
                        created.put(), &disposition) == ERROR_SUCCESS) {
      RegFlushKey(created.get());
    }
  }

  namespace value = facts::value;
  WriteText(key, Ascii(value::kAddOnName), name);
  WriteNumber(key, Ascii(value::kEinbindungsModus), facts::kDefaultEinbindungsModus);
  WriteText(key, Ascii(value::kExeDateiname), "C:\\Vellumar.exe");
  WriteText(key, Ascii(value::kParameterFest), "");
  WriteNumber(key, Ascii(value::kParameterZusatz), facts::kDefaultParameterZusatz);
  WriteText(key, Ascii(value::kKurzBeschreibung), "Videoetiketten");
  WriteText(key, Ascii(value::kLangBeschreibung), "");
  WriteText(key, Ascii(value::kSpezialButtonGrafikName), Ascii(facts::kDefaultButtonPicture));
  WriteText(key, Ascii(value::kSpezialButtonToolTiptext), "Videoetiketten");

  std::string names = ReadText(host, list);
  if (!names.empty() && names.back() != ',') names += ',';
  WriteText(host, list, names + name);
  return 0;
}
