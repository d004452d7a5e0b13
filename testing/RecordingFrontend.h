// A stand-in for the frontend in tests and fuzzing: it answers message boxes from a script and
// records, in order, every message shown and every call of the status window, the shell, the
// pause and the add-on list lock. Nothing of it touches a real user interface.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Frontend.h"
#include "testing/FixedLocale.h"

namespace quillet {

class RecordingFrontend : public Frontend {
 public:
  // One event: what happened, and the registry probe's reading at that moment
  // (-1 when no probe is set).
  struct Event {
    std::wstring what;
    long long probe = -1;
  };

  explicit RecordingFrontend(std::wstring commandText = L"",
                             std::wstring ownDirectory = L"C:\\Programme\\Quillet");

  void SetCommandText(std::wstring text) { commandText_ = std::move(text); }
  void SetOwnDirectory(std::wstring directory) { ownDirectory_ = std::move(directory); }
  // The answers for the coming message boxes, in order. A box with no answer left counts as
  // unexpected and gets Ok, or No when it asks Yes or No.
  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
  // Read with every logged event, e.g. a MemoryRegistry's change count, so that a test sees
  // where in the order the registry work happened.
  void SetRegistryProbe(std::function<long long()> probe) { probe_ = std::move(probe); }
  // When false, LockAddOnList returns null, as when the lock cannot be taken in time.
  void SetLockAvailable(bool available) { lockAvailable_ = available; }
  // What RunsElevated answers (false unless set), and whether OpenAddressAsUser succeeds.
  void SetElevated(bool elevated) { elevated_ = elevated; }
  void SetUserShellWorks(bool works) { userShellWorks_ = works; }
  // What ShortPath answers for `path` (nothing unless set).
  void SetShortPath(std::wstring path, std::wstring shortPath) {
    shortPaths_[std::move(path)] = std::move(shortPath);
  }
  // What RunsAsSystem answers (false unless set).
  void SetSystem(bool system) { system_ = system; }

  // Every message box shown, in order.
  const std::vector<Message>& Messages() const { return messages_; }
  // Message boxes that found no scripted answer or one that is none of their buttons.
  int UnexpectedMessages() const { return unexpected_; }
  // Scripted answers that no box used.
  std::size_t UnusedAnswers() const { return answers_.size(); }
  // The events: "message:<title>", "status:<text>", "show", "events", "pause:<ms>", "unload",
  // "open:<address>", "open-as-user:<address>" (also when it fails), "lock", "lock:refused",
  // "unlock".
  const std::vector<Event>& Events() const { return events_; }
  // The `what` of every event, for comparing the order at a glance.
  std::vector<std::wstring> Calls() const;
  // The lines the pass logged, in order (kept apart from the calls above).
  const std::vector<std::wstring>& LogLines() const { return logLines_; }
  // The last status text set; empty when none was.
  const std::wstring& StatusText() const { return statusText_; }

  MessageAnswer Show(const Message& message) override;
  // The command text a test hands the pass with this frontend (the frontend itself never reads
  // it: the pass takes it as an argument).
  const std::wstring& CommandText() const { return commandText_; }
  std::wstring OwnDirectory() override { return ownDirectory_; }
  std::wstring ShortPath(const std::wstring& path) override {
    const auto found = shortPaths_.find(path);
    return found == shortPaths_.end() ? std::wstring() : found->second;
  }
  void SetStatusText(const std::wstring& text) override;
  void ShowStatusWindow() override { Record(L"show"); }
  void ProcessPendingEvents() override { Record(L"events"); }
  void Pause(unsigned milliseconds) override;
  void UnloadStatusWindow() override { Record(L"unload"); }
  void Log(const std::wstring& line) override { logLines_.push_back(line); }
  void OpenAddress(const std::wstring& address) override;
  bool RunsElevated() override { return elevated_; }
  bool RunsAsSystem() override { return system_; }
  bool OpenAddressAsUser(const std::wstring& address) override;
  std::unique_ptr<AddOnListLock> LockAddOnList() override;

 private:
  void Record(std::wstring what);

  std::wstring commandText_;
  std::wstring ownDirectory_;
  std::wstring statusText_;
  std::map<std::wstring, std::wstring> shortPaths_;
  std::deque<MessageAnswer> answers_;
  std::function<long long()> probe_;
  bool lockAvailable_ = true;
  bool elevated_ = false;
  bool system_ = false;
  bool userShellWorks_ = true;
  int unexpected_ = 0;
  std::vector<Message> messages_;
  std::vector<Event> events_;
  std::vector<std::wstring> logLines_;
};

}  // namespace quillet
