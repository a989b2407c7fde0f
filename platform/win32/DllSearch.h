#pragma once
// Where Windows looks for the DLLs that load after the start.

#include "platform/win32/Win32Api.h"

namespace brindle::win32 {

// From now on, a DLL named without a path comes from System32 only, never from Tavu.exe's own
// folder or the current one. Call it first thing: the system DLLs that load later (through
// comctl32, ole32 and the scripting object) are not all "known DLLs", and Windows would look for
// them in the program's folder first. A messenger's folder such as C:\ICQ at the root of a drive
// is writable by every authenticated user, so anyone could plant a DLL there.
// Inline, so that Tavu.exe holds it only when it is called: for Windows, GNU ld keeps every function
// that has DWARF unwind information even when nothing calls it, and the release check takes the
// names this function uses as the sign that the restriction is there.
inline void RestrictDllSearchToSystem32() noexcept {
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
