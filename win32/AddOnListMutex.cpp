#include "win32/AddOnListMutex.h"

#include <windows.h>

#include <sddl.h>

#include "win32/UniqueHandle.h"

namespace quillet {

namespace {

// How long a run waits for another run's add-on list work before it goes on without the lock.
constexpr DWORD kLockTimeoutMilliseconds = 30000;

// The fallback of a run that can neither make nor open the private namespace.
constexpr wchar_t kSessionLockName[] = L"Local\\Quillet.AddOnListe";

// Administrators and SYSTEM may use the namespace, nobody else: a standard user can then neither
// make it (the boundary asks for the Administrators group) nor open it to hold our mutex.
constexpr wchar_t kNamespaceDacl[] = L"D:P(A;;GA;;;BA)(A;;GA;;;SY)";

class MutexLock : public AddOnListLock {
 public:
  MutexLock(unique_namespace space, unique_kernel_handle mutex)
      : space_(std::move(space)), mutex_(std::move(mutex)) {}
  ~MutexLock() override { ReleaseMutex(mutex_.get()); }

 private:
  // Declared first, so closed after the mutex: the namespace must outlive the mutex's name.
  unique_namespace space_;
  unique_kernel_handle mutex_;
};

// The private namespace bounded by the Administrators group, made or opened; empty when this run
// can do neither (a run that is not elevated).
unique_namespace OpenLockNamespace() {
  unique_boundary boundary(CreateBoundaryDescriptorW(kAddOnListNamespace, 0));
  if (!boundary) return {};
  alignas(SID) BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return {};
  HANDLE spelt = boundary.release();
  const BOOL added = AddSIDToBoundaryDescriptor(&spelt, administrators);
  boundary.reset(spelt);
  if (!added) return {};

  unique_local descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kNamespaceDacl, SDDL_REVISION_1,
                                                            descriptor.put(), nullptr)) {
    return {};
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  if (const HANDLE made =
          CreatePrivateNamespaceW(&attributes, boundary.get(), kAddOnListNamespace)) {
    return unique_namespace(made);
  }
  return unique_namespace(OpenPrivateNamespaceW(boundary.get(), kAddOnListNamespace));
}

// The fallback of a run outside the namespace. Any user may make a Global\ object, so a
// standard user can hold this one; it only keeps apart runs that cannot use the namespace. A
// run that finds a Global\ mutex it may not open (another DACL) takes a lock of its own session.
unique_kernel_handle OpenFallbackMutex() {
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
  unique_namespace space = OpenLockNamespace();
  unique_kernel_handle mutex;
  if (space) mutex.reset(CreateMutexW(nullptr, FALSE, kAddOnListPrivateLockName));
  if (!mutex) {
    space.reset();
    mutex = OpenFallbackMutex();
    if (!mutex) return nullptr;
  }
  switch (WaitForSingleObject(mutex.get(), kLockTimeoutMilliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // a run that died holding it; the list work is whole-value writes
      return std::make_unique<MutexLock>(std::move(space), std::move(mutex));
    default:
      return nullptr;
  }
}

}  // namespace quillet
