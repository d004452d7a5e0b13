#include "win32/ProcessContext.h"

#include <windows.h>

#include <optional>

#include "win32/LateBound.h"
#include "win32/UniqueHandle.h"

namespace quillet {

namespace {

// Whether the token's user is LocalSystem; nullopt when the token cannot be read.
std::optional<bool> IsSystemToken(HANDLE token) {
  alignas(TOKEN_USER) unsigned char user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenUser, user, sizeof user, &size)) return std::nullopt;
  return IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, WinLocalSystemSid) != FALSE;
}

}  // namespace

bool ProcessRunsElevated() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return true;
  const unique_kernel_handle token(opened);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
    return true;
  }
  if (elevation.TokenIsElevated) return true;
  // SYSTEM's token need not say it is elevated; it has every right all the same.
  return IsSystemToken(token.get()).value_or(true);
}

bool ProcessRunsAsSystem() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  const unique_kernel_handle token(opened);
  return IsSystemToken(token.get()).value_or(false);
}

bool WindowStationVisible() {
  // The process's window station belongs to the process; it is not ours to close.
  const HWINSTA station = USER32(GetProcessWindowStation)();
  USEROBJECTFLAGS flags{};
  DWORD size = 0;
  if (station == nullptr ||
      !USER32(GetUserObjectInformationW)(station, UOI_FLAGS, &flags, sizeof flags, &size)) {
    return true;
  }
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace quillet
