// Points the prefix's http scheme at quillet_http_recorder.exe for as long as it lives, so a test
// sees which addresses were handed to the shell. Wine 8's ShellExecute takes an http address to
// the command of HKLM\Software\Classes\http\shell\open\command (the HKCU one is not looked at);
// Wine keeps that key shared between the 32-bit and the 64-bit view, as Windows does, but it is
// set through both views all the same, so a prefix that splits them is covered too. Put back as
// it was afterwards. Runs under the e2e resource lock (see Driver.h).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

namespace e2e {

// One start of the recorder: what the shell handed it, the working directory it got, and the
// program file name of the process that started it (as "explorer.exe").
struct OpenedAddress {
  std::wstring address;
  std::wstring workingDirectory;
  std::wstring startedBy;
};

class HttpRecorder {
 public:
  HttpRecorder();
  ~HttpRecorder();
  HttpRecorder(const HttpRecorder&) = delete;
  HttpRecorder& operator=(const HttpRecorder&) = delete;

  // Whether the recorder was registered in both views.
  bool registered() const { return registered_; }

  // The addresses opened so far, in order, each exactly as the shell passed it. Waits first
  // until no recorder process is running any more, so a start that is under way is counted;
  // nullopt when one is still running at the timeout.
  std::optional<std::vector<OpenedAddress>> Opened(
      std::chrono::milliseconds timeout = std::chrono::milliseconds(30000)) const;

 private:
  struct Saved {
    bool present = false;
    unsigned long type = 0;
    std::vector<unsigned char> bytes;
  };
  std::wstring logFile_;
  Saved saved32_;
  Saved saved64_;
  bool registered_ = false;
};

// The recorder program (its path is built into the test program by CMake).
std::wstring HttpRecorderExePath();

}  // namespace e2e

}  // namespace quillet
