// quillet_regread [-64] KEY: prints everything below HKEY_LOCAL_MACHINE\KEY as the end-to-end
// tests see it (e2e::Snapshot: one line per key with its class, one per value with its type and
// its bytes in hex), UTF-8, sorted; nothing when the key is missing. The 32-bit view unless -64
// is given. The installer round trips read the registry through it: `reg export` shows neither a
// key's class nor a text's terminator.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/e2e/TestRegistry.h"

namespace e2e = quillet::e2e;

int wmain(int argc, wchar_t** argv) {
  e2e::View view = e2e::View::k32;
  int next = 1;
  if (argc > next && std::wcscmp(argv[next], L"-64") == 0) {
    view = e2e::View::k64;
    ++next;
  }
  if (argc != next + 1) {
    std::fputs("usage: quillet_regread [-64] KEY\n", stderr);
    return 2;
  }
  const std::string text = e2e::Snapshot(argv[next], view);
  // Lines end in "\n" alone, as the shell reading them expects.
  _setmode(_fileno(stdout), _O_BINARY);
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
