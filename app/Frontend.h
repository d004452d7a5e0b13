// The pass's one narrow interface to the user and the process it runs in: message boxes, the
// command line, its own directory, the status window, opening a web address, the pause, the
// lock around the add-on list, and a log of what it read and did. ExeFrontend binds it for
// quillet.exe; installer hosts bind it their own way; RecordingFrontend is the test stand-in.
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

class Frontend {
 public:
  virtual ~Frontend() = default;

  // Shows `message` modally and returns the button the user pressed.
  virtual MessageAnswer Show(const Message& message) = 0;

  // The directory that holds the program file; a bare program name is completed with it.
  virtual std::wstring OwnDirectory() = 0;
  // The short (8.3) form of the existing file `path`, or of its existing folder followed by the
  // file's own name, for a program path that the ANSI code page cannot spell; empty when there is
  // none. A frontend that cannot tell gives none, and such a path is then refused.
  virtual std::wstring ShortPath(const std::wstring& path) {
    static_cast<void>(path);
    return {};
  }
  // `text` lower-cased by the platform's ordinary rules, character by character.
  virtual std::wstring ToLower(std::wstring text) = 0;

  // The status window FormQuillet. It is created only when it is shown, so a run that shows
  // none touches no user interface beyond its message boxes.
  virtual void SetStatusText(const std::wstring& text) = 0;
  // Shows the window non-modally and paints it at once (the pass never runs a message loop).
  virtual void ShowStatusWindow() = 0;
  // Processes the window events that are waiting, once.
  virtual void ProcessPendingEvents() = 0;
  // ModulSleep: blocks the thread; nothing is processed meanwhile.
  virtual void Pause(unsigned milliseconds) = 0;
  // Destroys the window, if it was ever created.
  virtual void UnloadStatusWindow() = 0;

  // One line of what the pass read and did, for an installer's log. Plain English; the exe
  // keeps no log.
  virtual void Log(const std::wstring& line) = 0;

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
};

}  // namespace quillet
