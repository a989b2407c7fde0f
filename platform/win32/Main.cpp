// Tavu.exe: creates Form1 hidden, runs its initialisation and load, then the message loop until the
// window is closed. The load may end the process itself before the loop.

#include "launcher/Form1.h"
#include "platform/win32/Com.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Form1Window.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL.
  brindle::win32::RestrictDllSearchToSystem32();
  // The file-existence probe uses a COM object, always from this one UI thread.
  const brindle::win32::ComScope com;
  brindle::win32::Form1Window window;
  brindle::win32::Win32Platform platform(window);
  brindle::Form1 form(platform);

  if (!window.Create({.instance = instance, .events = &form})) return 1;
  form.OnInitialize();
  form.OnLoad();
  return brindle::win32::RunMessageLoop(window.handle());
}
