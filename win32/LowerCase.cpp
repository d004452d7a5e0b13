#include "win32/LowerCase.h"

#include <windows.h>

namespace quillet {

std::wstring LowerCase(std::wstring text) {
  if (!text.empty()) {
    const int size = static_cast<int>(text.size());
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.data(), size, text.data(), size);
  }
  return text;
}

}  // namespace quillet
