#include "win32/AddOnListMutex.h"

#include <windows.h>

#include "win32/UniqueHandle.h"

namespace quillet {

namespace {

// How long a run waits for another run's add-on list work before it goes on without the lock.
constexpr DWORD kLockTimeoutMilliseconds = 30000;

// The fallback when the machine-wide lock can be neither made nor opened.
constexpr wchar_t kSessionLockName[] = L"Local\\Quillet.AddOnListe";

class MutexLock : public AddOnListLock {
 public:
  explicit MutexLock(unique_kernel_handle mutex) : mutex_(std::move(mutex)) {}
  ~MutexLock() override { ReleaseMutex(mutex_.get()); }

 private:
  unique_kernel_handle mutex_;
};

// The machine-wide mutex. Making a Global\ object needs a right that only elevated runs have;
// an unelevated run may still open one an elevated run made. An unelevated run that finds none
// writes through UAC's per-user registry virtualization anyway, so a lock of its own session
// keeps its runs apart.
unique_kernel_handle OpenAddOnListMutex() {
  if (const HANDLE mutex = CreateMutexW(nullptr, FALSE, kAddOnListLockName)) {
    return unique_kernel_handle(mutex);
  }
  if (const HANDLE mutex =
          OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kAddOnListLockName)) {
    return unique_kernel_handle(mutex);
  }
  return unique_kernel_handle(CreateMutexW(nullptr, FALSE, kSessionLockName));
}

}  // namespace

std::unique_ptr<AddOnListLock> LockAddOnList() {
  unique_kernel_handle mutex = OpenAddOnListMutex();
  if (!mutex) return nullptr;
  switch (WaitForSingleObject(mutex.get(), kLockTimeoutMilliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // a run that died holding it; the list work is whole-value writes
      return std::make_unique<MutexLock>(std::move(mutex));
    default:
      return nullptr;
  }
}

}  // namespace quillet
