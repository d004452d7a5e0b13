#include "win32/dll/msi/MsiFrontend.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace quillet::msi {

namespace {

// Records every message record sent and answers them from a script (0, as under /qn, when the
// script is used up).
class RecordingSession : public Session {
 public:
  struct Sent {
    unsigned kind;
    std::vector<std::wstring> fields;
  };
  std::wstring Property(const std::wstring&) override { return {}; }
  bool SetProperty(const std::wstring&, const std::wstring&) override { return false; }
  int Send(unsigned kind, std::initializer_list<const wchar_t*> fields) override {
    sent.push_back(Sent{kind, std::vector<std::wstring>(fields.begin(), fields.end())});
    if (replies.empty()) return 0;
    const int reply = replies.front();
    replies.pop_front();
    return reply;
  }
  std::vector<Sent> sent;
  std::deque<int> replies;
};

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM counter) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// Top-level windows of this process: a box of our own would be one (and would have blocked).
int OwnTopLevelWindows() {
  int count = 0;
  EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

struct BoxCase {
  MessageIcon icon;
  MessageButtons buttons;
  int reply;
  unsigned kind;  // INSTALLMESSAGE_USER (0x03000000) | MB_* buttons | MB_ICON*
  MessageAnswer answer;
};

TEST(MsiFrontend, EveryBoxIsAUserMessageOfTheInstallerWithItsTextMadeLiteral) {
  const BoxCase cases[] = {
      {MessageIcon::Question, MessageButtons::YesNo, 6, 0x03000024, MessageAnswer::Yes},
      {MessageIcon::Question, MessageButtons::YesNo, 7, 0x03000024, MessageAnswer::No},
      // No UI (/qn) and an error both count as No: nothing is opened.
      {MessageIcon::Question, MessageButtons::YesNo, 0, 0x03000024, MessageAnswer::No},
      {MessageIcon::Question, MessageButtons::YesNo, -1, 0x03000024, MessageAnswer::No},
      {MessageIcon::Error, MessageButtons::Ok, 1, 0x03000010, MessageAnswer::Ok},
      {MessageIcon::Information, MessageButtons::Ok, 0, 0x03000040, MessageAnswer::Ok},
  };
  const int windowsBefore = OwnTopLevelWindows();
  for (const BoxCase& c : cases) {
    RecordingSession session;
    session.replies.push_back(c.reply);
    MsiFrontend frontend(session, L"");
    const Message message{L"Quillet.exe", L"Feld [ProductCode] {x} ]", c.icon, c.buttons};
    EXPECT_EQ(frontend.Show(message), c.answer) << c.reply;
    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(session.sent[0].kind, c.kind);
    EXPECT_EQ(session.sent[0].fields,
              std::vector<std::wstring>{L"Feld [\\[]ProductCode[\\]] [\\{]x[\\}] [\\]]"});
  }
  EXPECT_EQ(OwnTopLevelWindows(), windowsBefore) << "a window of its own was made";
}

TEST(MsiFrontend, StatusTextIsProgressAndLogLinesAreInfoLinesOfTheLog) {
  RecordingSession session;
  MsiFrontend frontend(session, L"");
  frontend.SetStatusText(L"Das Zusatzprogramm wird installiert ..");
  frontend.Log(L"list 'a' -> 'a,[b]'");
  ASSERT_EQ(session.sent.size(), 4u);
  EXPECT_EQ(session.sent[0].kind, 0x08000000u);  // INSTALLMESSAGE_ACTIONSTART
  EXPECT_EQ(session.sent[0].fields[2], L"Das Zusatzprogramm wird installiert ..");
  EXPECT_EQ(session.sent[0].fields[3], L"[1]");
  EXPECT_EQ(session.sent[1].kind, 0x09000000u);  // INSTALLMESSAGE_ACTIONDATA
  EXPECT_EQ(session.sent[1].fields[1], L"Das Zusatzprogramm wird installiert ..");
  EXPECT_EQ(session.sent[2].kind, 0x04000000u);  // INSTALLMESSAGE_INFO
  EXPECT_EQ(session.sent[2].fields[0], L"Quillet: Das Zusatzprogramm wird installiert ..");
  EXPECT_EQ(session.sent[3].kind, 0x04000000u);
  EXPECT_EQ(session.sent[3].fields[0], L"Quillet: list 'a' -> 'a,[\\[]b[\\]]'");
}

}  // namespace

}  // namespace quillet::msi
