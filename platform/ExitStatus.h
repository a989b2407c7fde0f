#pragma once
// How a run of the launcher ends, as its process's exit status: only the hand-over of a launch is a
// success. Scripts and schedulers that start Tavu.exe read it; the README lists it for them.

namespace brindle {

enum class ExitStatus : int {
  Launched = 0,          // the messenger's copy was started and the wait is over
  AlreadyRunning = 1,    // another launcher of the same file runs
  WrongExeName = 2,      // the executable is not called Tavu.exe
  MessengerMissing = 3,  // no ICQ.exe beside the launcher
  WindowClosed = 4,      // the information window was closed without OK
  Failed = 5,            // a handler failed unexpectedly; nothing must be left running
  NotStarted = 6,        // the wait ran its course, but the copy could not be started
};

}  // namespace brindle
