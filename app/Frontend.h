// The pass's interfaces to the user and the process it runs in, one per job: the boxes, the
// status window, the log, and the host process (its folder, its rights, the shell, the lock
// around the add-on list). ExeFrontend binds them for quillet.exe; installer hosts bind them
// their own way; RecordingFrontend is the test stand-in.
#pragma once

#include <memory>
#include <string>

#include "app/Message.h"

namespace quillet {

// Held while a run changes the add-on list; releasing it on destruction.
class AddOnListLock {
 public:
  virtual ~AddOnListLock() = default;
};

// One line of what the pass read and did, for an installer's log. Plain English; the exe keeps
// no log.
class RunLog {
 public:
  virtual void Log(const std::wstring& line) = 0;

 protected:
  ~RunLog() = default;
};

// The boxes a run tells or asks the user with.
class Prompts : public RunLog {
 public:
  // Shows `message` modally and returns the button the user pressed.
  virtual MessageAnswer Show(const Message& message) = 0;

 protected:
  ~Prompts() = default;
};

// The status window FormQuillet. It is created only when it is shown, so a run that shows none
// touches no user interface beyond its message boxes.
class StatusView : public Prompts {
 public:
  virtual void SetStatusText(const std::wstring& text) = 0;
  // Shows the window non-modally and paints it at once (the pass never runs a message loop).
  virtual void ShowStatusWindow() = 0;
  // Processes the window events that are waiting, once.
  virtual void ProcessPendingEvents() = 0;
  // ModulSleep: blocks the thread; nothing is processed meanwhile.
  virtual void Pause(unsigned milliseconds) = 0;
  // Destroys the window, if it was ever created.
  virtual void UnloadStatusWindow() = 0;

 protected:
  ~StatusView() = default;
};

// The process the pass runs in: where it is, what rights it has, the shell it may hand an
// address to, and the lock it shares with other runs.
class HostProcess : public StatusView {
 public:
  // The directory that holds the program file; a bare program name is completed with it.
  virtual std::wstring OwnDirectory() = 0;
  // The short (8.3) form of the existing file `path`, or of its existing folder followed by the
  // file's own name, for a program path that the ANSI code page cannot spell; empty when there is
  // none. A host that cannot tell gives none, and such a path is then refused.
  virtual std::wstring ShortPath(const std::wstring& path) {
    static_cast<void>(path);
    return {};
  }

  // ModulInternetadresseStarten: hands `address` to the shell in this process, so whatever it
  // starts runs with this process's rights.
  virtual void OpenAddress(const std::wstring& address) = 0;
  // True when this process runs with an administrator's full (elevated) token or as SYSTEM, and
  // when that cannot be told.
  virtual bool RunsElevated() = 0;
  // True when this process runs as LocalSystem (S-1-5-18), as a deferred MSI action does.
  virtual bool RunsAsSystem() = 0;
  // Has the user's own desktop shell open `address`, so that the browser starts with the shell's
  // token rather than ours. False when a step failed; nothing has been started then.
  virtual bool OpenAddressAsUser(const std::wstring& address) = 0;

  // Serializes the add-on key and list work across processes. Null when the lock could not be
  // taken in time: the run then goes on without it rather than hang.
  virtual std::unique_ptr<AddOnListLock> LockAddOnList() = 0;

 protected:
  ~HostProcess() = default;
};

// The four parts as one host binds them. The pass hands each function only the part it uses.
// They build on one another in one line, from the log up, rather than standing side by side: a
// host then has one table of functions instead of four, with no adjusting thunks, which is
// 1.5 KB of quillet.dll. So a part also offers the ones below it; a function still names the
// part it is there for. No one deletes a host through a part, so none has a virtual destructor.
class Frontend : public HostProcess {
 protected:
  ~Frontend() = default;
};

}  // namespace quillet
