#include "tests/e2e/HttpRecorder.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/e2e/Driver.h"
#include "win32/UniqueHandle.h"

#ifndef QUILLET_E2E_RECORDER_EXE
#error "CMake passes the path of quillet_http_recorder.exe as QUILLET_E2E_RECORDER_EXE"
#endif

namespace quillet {

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kCommandKey[] = L"Software\\Classes\\http\\shell\\open\\command";
constexpr wchar_t kRecorderName[] = L"quillet_http_recorder.exe";

unique_hkey OpenCommandKey(REGSAM view) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCommandKey, 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | view, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return {};
  }
  return unique_hkey(handle);
}

bool SetCommand(REGSAM view, const std::wstring& command) {
  const unique_hkey key = OpenCommandKey(view);
  return key && RegSetValueExW(
                    key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RecorderRunning() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  const unique_kernel_handle owner(snapshot);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, kRecorderName) == 0) return true;
  }
  return false;
}

std::wstring FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace

std::wstring HttpRecorderExePath() { return WindowsPathOf(QUILLET_E2E_RECORDER_EXE); }

HttpRecorder::HttpRecorder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  logFile_ =
      std::wstring(temp) + L"quillet-http-" + std::to_wstring(GetCurrentProcessId()) + L".log";
  DeleteFileW(logFile_.c_str());

  const auto save = [](REGSAM view, Saved& saved) {
    const unique_hkey key = OpenCommandKey(view);
    DWORD type = 0;
    DWORD size = 0;
    if (!key ||
        RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return;
    }
    saved.bytes.resize(size);
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type,
                         saved.bytes.empty() ? nullptr : saved.bytes.data(),
                         &size) == ERROR_SUCCESS) {
      saved.present = true;
      saved.type = type;
      saved.bytes.resize(size);
    }
  };
  save(KEY_WOW64_32KEY, saved32_);
  save(KEY_WOW64_64KEY, saved64_);

  const std::wstring command = L"\"" + HttpRecorderExePath() + L"\" \"" + logFile_ + L"\" %1";
  registered_ = SetCommand(KEY_WOW64_32KEY, command) && SetCommand(KEY_WOW64_64KEY, command);
}

HttpRecorder::~HttpRecorder() {
  const auto restore = [](REGSAM view, const Saved& saved) {
    const unique_hkey key = OpenCommandKey(view);
    if (!key) return;
    if (saved.present) {
      RegSetValueExW(key.get(), nullptr, 0, saved.type,
                     saved.bytes.empty() ? nullptr : saved.bytes.data(),
                     static_cast<DWORD>(saved.bytes.size()));
    } else {
      RegDeleteValueW(key.get(), nullptr);
    }
  };
  // The 64-bit view first: where the two views are one key, the 32-bit restore wins, and both
  // saved the same value anyway.
  restore(KEY_WOW64_64KEY, saved64_);
  restore(KEY_WOW64_32KEY, saved32_);
  DeleteFileW(logFile_.c_str());
}

std::optional<std::vector<OpenedAddress>> HttpRecorder::Opened(
    std::chrono::milliseconds timeout) const {
  const Clock::time_point start = Clock::now();
  while (RecorderRunning()) {
    if (Clock::now() - start >= timeout) return std::nullopt;
    Sleep(10);
  }
  std::vector<OpenedAddress> opened;
  std::ifstream log(std::filesystem::path(logFile_), std::ios::binary);
  if (!log) return opened;
  const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  std::size_t begin = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos;
       begin = end + 1, end = text.find('\n', begin)) {
    const std::wstring line = FromUtf8(text.substr(begin, end - begin));
    const std::size_t tab = line.find(L'\t');
    const std::size_t second = tab == std::wstring::npos ? tab : line.find(L'\t', tab + 1);
    if (second == std::wstring::npos) {
      opened.push_back({line, L"", L""});
    } else {
      opened.push_back(
          {line.substr(second + 1), line.substr(0, tab), line.substr(tab + 1, second - tab - 1)});
    }
  }
  return opened;
}

}  // namespace e2e

}  // namespace quillet
