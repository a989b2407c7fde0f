// Keeps Wine's desktop in use for a session of many short programs. Left alone, Wine closes the
// desktop whenever no program uses it, and starts it afresh for the next one; windows created while
// the desktop is being torn down can leave Wine 10's wineserver with a broken window list, which hangs
// it for good. Started first in a session, this creates a hidden window, touches the given file once
// the desktop has its owner, and stays until the session's wineserver ends it.

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  DWORD owner = 0;
  for (int i = 0; i < 1200 && !(GetWindowThreadProcessId(GetDesktopWindow(), &owner) && owner); ++i)
    Sleep(50);
  if (FILE* ready = argc > 1 ? _wfopen(argv[1], L"w") : nullptr) std::fclose(ready);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
