#include "win32/dll/GuestEntry.h"

namespace quillet::guest {

ProcessStateKeeper::ProcessStateKeeper() : errorMode_(GetErrorMode()), locale_(GetThreadLocale()) {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return;
  directory_.assign(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, directory_.data());
  directoryKnown_ = length > 0 && length < size;
  directory_.resize(directoryKnown_ ? length : 0);
}

ProcessStateKeeper::~ProcessStateKeeper() {
  if (GetErrorMode() != errorMode_) SetErrorMode(errorMode_);
  if (GetThreadLocale() != locale_) SetThreadLocale(locale_);
  if (!directoryKnown_) return;
  wchar_t now[MAX_PATH + 1] = {};
  const DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, now);
  if (length == 0 || length > MAX_PATH || directory_ != std::wstring(now, length)) {
    SetCurrentDirectoryW(directory_.c_str());
  }
}

}  // namespace quillet::guest
