// Tavu.exe with a stopwatch: the same start as the real one (COM, Form1's window, its initialisation
// and load, the message loop), built from the same sources, except that the platform goes through
// TimedPlatform and the steps of the start are logged to steps.txt beside the executable. The bench
// runs it, named Tavu.exe, only to show where the time of a launch goes; its figures of latency, CPU
// and memory come from the real Tavu.exe.

#include <utility>

#include "common/StepLog.h"
#include "launcher/Form1.h"
#include "platform/win32/Com.h"
#include "platform/win32/Form1Window.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Platform.h"
#include "timed/TimedPlatform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  brindle::bench::StepLog log;
  brindle::bench::Stamp begin = log.Now();
  const brindle::win32::ComScope com;
  log.Add("com", begin, log.Now());

  brindle::win32::Form1Window window;
  brindle::win32::Win32Platform platform(window);
  brindle::bench::TimedPlatform timed(platform, log, brindle::bench::ExecutableFolder() + L"steps.txt");
  brindle::Form1 form(timed);

  begin = log.Now();
  const bool created = window.Create({.instance = instance, .events = &form});
  log.Add("window", begin, log.Now());
  if (!created) return 1;
  form.OnInitialize();
  form.OnLoad();
  return brindle::win32::RunMessageLoop(window.handle());
}
