// The machine-wide lock around the add-on key and list work, shared by every frontend.
#pragma once

#include <memory>

#include "app/Frontend.h"

namespace quillet {

// The name of the machine-wide lock around the add-on list.
inline constexpr wchar_t kAddOnListLockName[] = L"Global\\Quillet.AddOnListe";

// Waits up to 30 s for the lock; null when it could be neither made nor taken in that time.
std::unique_ptr<AddOnListLock> LockAddOnList();

}  // namespace quillet
