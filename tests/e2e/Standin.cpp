// A stand-in messenger (ICQ.exe in the end-to-end tests, the demo and the bench), with no window. It appends
// "module path|show state|command line" (UTF-8) to standin.log beside it, writes its side file (its path +
// ".csassembly") after a delay and ends later on: standin.cfg beside it may hold the delay (-1: never) and
// the lifetime in milliseconds; without it, 300 and 1000.

#include <windows.h>

#include <cstdio>
#include <string>

#include "shell/Utf8.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t module[MAX_PATH] = L"";
  const std::wstring path(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
  const std::wstring folder = path.substr(0, path.rfind(L'\\') + 1);
  int delayMs = 300, aliveMs = 1000;
  if (FILE* config = _wfopen((folder + L"standin.cfg").c_str(), L"r")) {
    std::fscanf(config, "%d %d", &delayMs, &aliveMs);
    std::fclose(config);
  }
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const std::string line = brindle::win32::Narrow(
      path + L"|" + std::to_wstring(startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1) +
      L"|" + GetCommandLineW() + L"\r\n");
  FILE* log = nullptr;  // another copy may be writing to it
  for (int attempt = 0; attempt < 100 && !(log = _wfopen((folder + L"standin.log").c_str(), L"ab"));
       ++attempt)
    Sleep(20);
  if (log) {
    std::fwrite(line.data(), 1, line.size(), log);
    std::fclose(log);
  }
  if (delayMs >= 0) {
    Sleep(delayMs);
    if (FILE* side = _wfopen((path + L".csassembly").c_str(), L"wb")) std::fclose(side);
  }
  Sleep(aliveMs > delayMs ? aliveMs - std::max(delayMs, 0) : 0);
  return 0;
}
