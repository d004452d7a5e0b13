// What every host of the DLL shares behind the pass: the add-on's folder as an input of its own,
// no status window and no lingering, the shell and the lock as the exe has them. The hosts add
// where boxes, status texts and log lines go.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/Frontend.h"

namespace quillet::guest {

// `folder` without trailing backslashes or slashes, except a drive's root keeps its backslash
// ("C:\"); blanks around it removed. Empty (no folder) when it is neither drive-qualified
// ("X:\...") nor a UNC path ("\\server\share..."), so a bare program name is refused then.
std::wstring NormalizedFolder(std::wstring folder);

class GuestFrontend : public Frontend {
 public:
  // `addOnFolder`: where a bare program name is found (empty: a bare name is refused);
  // `owner`, `silent`: the window that owns the boxes (may be null), and none at all.
  explicit GuestFrontend(std::wstring addOnFolder, HWND owner = nullptr, bool silent = false);

  // With the silent flag no box: the answer that does least, as NSIS's own /SD gives. Otherwise
  // a box owned by the caller's window, unless no one could see it (then the same answer).
  MessageAnswer Show(const Message& message) override;

  std::wstring OwnDirectory() override { return folder_; }

  // No status window and no pause inside somebody else's installer: the hosts show the status
  // text their own way.
  void ShowStatusWindow() override {}
  void ProcessPendingEvents() override {}
  void Pause(unsigned) override {}
  void UnloadStatusWindow() override {}

  void OpenAddress(const std::wstring& address) override;
  bool RunsElevated() override;
  bool RunsAsSystem() override;
  bool OpenAddressAsUser(const std::wstring& address) override;
  std::unique_ptr<AddOnListLock> LockAddOnList() override;
  std::wstring ShortPath(const std::wstring& path) override;

 private:
  std::wstring folder_;
  HWND owner_;
  bool silent_;
};

}  // namespace quillet::guest
