// A stand-in for the messenger, used as ICQ.exe by the end-to-end tests and the demo. It shows no
// window. It appends to standin.log in its own folder how it was started, then after a delay leaves
// its side file (its own path + ".csassembly") as the messenger does, and ends a while later.
//
// standin.cfg beside it sets the timing (values in milliseconds, missing keys keep their default):
//   sidefile_delay_ms=500    when to write the side file after the start; -1: never
//   stay_alive_ms=2000       when to end after the start
//
// standin.log has one line per event, fields separated by "|" (a character no Windows path holds),
// UTF-8, the raw command line last because it may hold anything:
//   kind|time|pid|module path|working folder|command line
// kind is start, sidefile or exit; time is GetSystemTimePreciseAsFileTime in 100 ns units.

#include <windows.h>

#include <charconv>
#include <cstdint>
#include <string>

#include "driver/OwnedHandle.h"

namespace {

using brindle::e2e::FileHandle;

struct Config {
  int sidefileDelayMs = 500;
  int stayAliveMs = 2000;
};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                      nullptr);
  return result;
}

std::wstring ModulePath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring WorkingFolder() {
  std::wstring folder(32768, L'\0');
  const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  folder.resize(length);
  return folder;
}

std::int64_t Now() {
  FILETIME time{};
  GetSystemTimePreciseAsFileTime(&time);
  return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string ReadSmallFile(const std::wstring& path) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string content(4096, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) read = 0;
  content.resize(read);
  return content;
}

// Leaves the value as it is when the key is missing or not followed by a number.
void ReadNumber(const std::string& text, const std::string& key, int& value) {
  const std::size_t at = text.find(key + "=");
  if (at == std::string::npos) return;
  const char* first = text.data() + at + key.size() + 1;
  std::from_chars(first, text.data() + text.size(), value);
}

Config ReadConfig(const std::wstring& folder) {
  Config config;
  const std::string text = ReadSmallFile(folder + L"standin.cfg");
  ReadNumber(text, "sidefile_delay_ms", config.sidefileDelayMs);
  ReadNumber(text, "stay_alive_ms", config.stayAliveMs);
  return config;
}

// Appends one line; retries for a while because a copy in another slot may be writing at the same time.
void Log(const std::wstring& folder, const char* kind, const std::wstring& module) {
  const std::string line = std::string(kind) + "|" + std::to_string(Now()) + "|" +
                           std::to_string(GetCurrentProcessId()) + "|" + Utf8(module) + "|" +
                           Utf8(WorkingFolder()) + "|" + Utf8(GetCommandLineW()) + "\r\n";
  const std::wstring path = folder + L"standin.log";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      DWORD written = 0;
      WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      return;
    }
    Sleep(20);
  }
}

void WriteSideFile(const std::wstring& module) {
  const std::wstring path = module + L".csassembly";
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  static constexpr char kContent[] = "written by the stand-in messenger\r\n";
  DWORD written = 0;
  WriteFile(file.get(), kContent, sizeof kContent - 1, &written, nullptr);
}

void SleepUntil(std::int64_t start, int millisecondsAfterStart) {
  const std::int64_t end = start + static_cast<std::int64_t>(millisecondsAfterStart) * 10'000;
  const std::int64_t left = end - Now();
  if (left > 0) Sleep(static_cast<DWORD>(left / 10'000));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::int64_t start = Now();
  const std::wstring module = ModulePath();
  const std::wstring folder = FolderOf(module);
  const Config config = ReadConfig(folder);
  Log(folder, "start", module);
  if (config.sidefileDelayMs >= 0) {
    SleepUntil(start, config.sidefileDelayMs);
    WriteSideFile(module);
    Log(folder, "sidefile", module);
  }
  SleepUntil(start, config.stayAliveMs);
  Log(folder, "exit", module);
  return 0;
}
