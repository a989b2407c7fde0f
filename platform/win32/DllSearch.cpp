#include "platform/win32/DllSearch.h"

#include "platform/win32/Win32Api.h"

namespace brindle::win32 {

void RestrictDllSearchToSystem32() noexcept {
  // Looked up rather than imported: Windows 7 has SetDefaultDllDirectories only with update
  // KB2533623, and Tavu.exe must still start without it.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  if (const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll")) {
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  // Takes the current folder out of the search where the call above is missing. (The program's
  // own folder stays in it there; only that update takes it out.)
  ::SetDllDirectoryW(L"");
}

}  // namespace brindle::win32
