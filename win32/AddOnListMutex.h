// The machine-wide lock around the add-on key and list work, shared by every frontend.
#pragma once

#include <memory>

#include "app/Frontend.h"

namespace quillet {

// The private namespace of the lock (also its boundary's name), and the mutex's name in it. Only
// a process with the Administrators group in its token can make or open that namespace.
inline constexpr wchar_t kAddOnListNamespace[] = L"Quillet";
inline constexpr wchar_t kAddOnListPrivateLockName[] = L"Quillet\\AddOnListe";

// The machine-wide lock of runs that cannot use the namespace (not elevated).
inline constexpr wchar_t kAddOnListLockName[] = L"Global\\Quillet.AddOnListe";

// Waits up to 30 s for the lock, in the private namespace when this run can make or open it, else
// under kAddOnListLockName, else in its own session; null when it could be neither made nor
// taken in that time.
std::unique_ptr<AddOnListLock> LockAddOnList();

}  // namespace quillet
