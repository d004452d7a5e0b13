// quillet_msi_answer yes|no PACKAGE [PROPERTY=VALUE ...]: installs an MSI package the way a setup
// program with its own user interface does (Windows Installer's UI off, an external handler on)
// and answers every question the package asks through the installer (INSTALLMESSAGE_USER) with
// Yes or No. Meanwhile the prefix's http scheme points at quillet_http_recorder, so what the
// desktop shell was asked to open is seen. Prints, UTF-8, one line each:
//   question <type in hex>: <text, line breaks as \n>
//   opened <address> by <program that started the recorder>
//   result <what MsiInstallProductW returned>
// and ends with 0, or 2 when it could not run the install at all.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which they need.
#include <msi.h>
#include <msiquery.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/e2e/Driver.h"
#include "tests/e2e/HttpRecorder.h"

namespace e2e = quillet::e2e;

namespace {

struct Answer {
  int button;
};

std::string Line(std::wstring text) {
  for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at)) {
    text.replace(at, 2, L"\\n");
  }
  return e2e::Utf8(text);
}

int WINAPI Handler(LPVOID context, UINT type, LPCWSTR message) {
  if ((type & 0xFF000000U) != INSTALLMESSAGE_USER) return 0;
  std::printf("question %08x: %s\n", type, Line(message ? message : L"").c_str());
  std::fflush(stdout);
  return static_cast<const Answer*>(context)->button;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3 || (std::wcscmp(argv[1], L"yes") != 0 && std::wcscmp(argv[1], L"no") != 0)) {
    std::fputs("usage: quillet_msi_answer yes|no PACKAGE [PROPERTY=VALUE ...]\n", stderr);
    return 2;
  }
  Answer answer{std::wcscmp(argv[1], L"yes") == 0 ? IDYES : IDNO};
  std::wstring properties;
  for (int i = 3; i < argc; ++i)
    properties += (properties.empty() ? L"" : L" ") + std::wstring(argv[i]);

  const e2e::HttpRecorder recorder;
  if (!recorder.registered()) {
    std::fputs("quillet_msi_answer: cannot point http at the recorder\n", stderr);
    return 2;
  }
  MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  MsiSetExternalUIW(Handler, INSTALLLOGMODE_USER, &answer);
  const UINT result = MsiInstallProductW(argv[2], properties.c_str());

  const auto opened = recorder.Opened();
  if (!opened) {
    std::fputs("quillet_msi_answer: the http recorder did not end within its time\n", stderr);
    return 2;
  }
  for (const e2e::OpenedAddress& address : *opened) {
    std::printf("opened %s by %s\n", e2e::Utf8(address.address).c_str(),
                e2e::Utf8(address.startedBy).c_str());
  }
  std::printf("result %u\n", result);
  return 0;
}
