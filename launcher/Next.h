#pragma once
// What happens after one of Form1's handlers: the handler says it, the shell carries it out.

namespace brindle {

// How a run ends, as its exit status: only the hand-over of a launch is a success.
enum class ExitStatus : int {
  Launched = 0,          // the messenger's copy was started and the wait is over
  AlreadyRunning = 1,    // another launcher of the same file runs
  WrongExeName = 2,      // the executable is not called Tavu.exe
  MessengerMissing = 3,  // no ICQ.exe beside the launcher
  WindowClosed = 4,      // the information window was closed without OK
  Failed = 5,            // a handler failed unexpectedly; nothing must be left running
  NotStarted = 6,        // the wait ran its course, but the copy could not be started
};

struct Next {
  enum class Step {
    Stay,         // nothing more for now: the user or the timer has the next word
    ShowWindow,   // the information window, not modal
    WaitOnTimer,  // the hand-over wait: ticks every tickMs
    End,          // Form1 goes away and the process ends with `status`
  };
  Step step = Step::Stay;
  int tickMs = 0;
  ExitStatus status = ExitStatus::Launched;

  static Next Stay() { return {}; }
  static Next ShowWindow() { return {.step = Step::ShowWindow}; }
  static Next WaitOnTimer(int tickMs) { return {.step = Step::WaitOnTimer, .tickMs = tickMs}; }
  static Next End(ExitStatus status) { return {.step = Step::End, .status = status}; }
  bool operator==(const Next&) const = default;
};

}  // namespace brindle
