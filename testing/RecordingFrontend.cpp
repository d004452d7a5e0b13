#include "testing/RecordingFrontend.h"

#include <utility>

namespace quillet {

namespace {

class RecordingLock : public AddOnListLock {
 public:
  explicit RecordingLock(std::function<void()> onRelease) : onRelease_(std::move(onRelease)) {}
  ~RecordingLock() override { onRelease_(); }

 private:
  std::function<void()> onRelease_;
};

}  // namespace

RecordingFrontend::RecordingFrontend(std::wstring commandText, std::wstring ownDirectory)
    : commandText_(std::move(commandText)), ownDirectory_(std::move(ownDirectory)) {}

std::vector<std::wstring> RecordingFrontend::Calls() const {
  std::vector<std::wstring> calls;
  for (const Event& e : events_) calls.push_back(e.what);
  return calls;
}

MessageAnswer RecordingFrontend::Show(const Message& message) {
  messages_.push_back(message);
  Record(L"message:" + message.title);
  if (answers_.empty()) {
    ++unexpected_;
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
  MessageAnswer answer = answers_.front();
  answers_.pop_front();
  bool fits = message.buttons == MessageButtons::YesNo ? answer != MessageAnswer::Ok
                                                       : answer == MessageAnswer::Ok;
  if (!fits) ++unexpected_;
  return answer;
}

void RecordingFrontend::SetStatusText(const std::wstring& text) {
  statusText_ = text;
  Record(L"status:" + text);
}

void RecordingFrontend::Pause(unsigned milliseconds) {
  Record(L"pause:" + std::to_wstring(milliseconds));
}

void RecordingFrontend::OpenAddress(const std::wstring& address) { Record(L"open:" + address); }

bool RecordingFrontend::OpenAddressAsUser(const std::wstring& address) {
  Record(L"open-as-user:" + address);
  return userShellWorks_;
}

std::unique_ptr<AddOnListLock> RecordingFrontend::LockAddOnList() {
  if (!lockAvailable_) {
    Record(L"lock:refused");
    return nullptr;
  }
  Record(L"lock");
  return std::make_unique<RecordingLock>([this] { Record(L"unlock"); });
}

void RecordingFrontend::Record(std::wstring what) {
  events_.push_back(Event{std::move(what), probe_ ? probe_() : -1});
}

}  // namespace quillet
