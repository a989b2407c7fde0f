// Tavu.exe: creates Form1 hidden and runs its load, then the message loop until the window is gone; the
// process ends with the status the run ended with.

#include "launcher/Form1.h"
#include "shell/Com.h"
#include "shell/Form1Window.h"
#include "shell/MessageLoop.h"
#include "shell/Win32Platform.h"

namespace {

// A DLL named without a path comes from System32 only from now on. System DLLs that load later (via
// comctl32, ole32, the scripting object) are not all "known DLLs", and Windows would look for them in
// Tavu.exe's folder first: a folder such as C:\ICQ is writable by every authenticated user.
// SetDefaultDllDirectories is looked up, not imported: Windows 7 has it only with KB2533623. Where it
// is missing, SetDllDirectoryW(L"") still takes the current folder out of the search.
void RestrictDllSearchToSystem32() noexcept {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(
          ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystem32();  // before anything can load a DLL
  // The file-existence probe uses a COM object, always from this one UI thread.
  const brindle::win32::ComScope com;
  brindle::win32::Win32Platform platform;
  brindle::win32::Form1Window window(instance);
  brindle::Form1 form(platform, window);

  // Where the window and Form1 meet: the window hands each of its events to Form1.
  if (!window.Create(form)) return static_cast<int>(brindle::ExitStatus::Failed);
  form.CarryOut(form.OnLoad());
  return brindle::win32::RunMessageLoop(window.handle());
}
