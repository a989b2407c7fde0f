#pragma once
// Form1's logic: the values that live for the whole run and the handlers of the window's events. Each
// handler reaches the system only through Platform and returns what happens next, which the shell
// carries out.

#include "launcher/Next.h"
#include "launcher/Session.h"
#include "platform/Platform.h"

namespace brindle {

class Form1 {
 public:
  explicit Form1(Platform& platform) : platform_(platform) {}

  void OnInitialize() noexcept;  // window created, before it loads
  Next OnLoad() noexcept;        // right after initialisation: the start-up sequence
  Next OnOkClick() noexcept;
  Next OnTimerTick() noexcept;
  Next OnTimerFailed() noexcept;  // the hand-over wait could not start its timer
  // A character typed into the count box; returns the code to deliver, or kSwallowKey.
  int OnCountBoxKey(int code) noexcept;

 private:
  Platform& platform_;
  Session session_;
  bool confirmed_ = false;
};

// What carries out a handler's Next: the Win32 window in Tavu.exe, a fake in the unit tests.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void ShowWindow() = 0;
  virtual bool StartTimer(int intervalMs) = 0;  // false: no tick will come
  // Form1 goes away and the process ends with `status`; no handler runs after it.
  virtual void End(ExitStatus status) = 0;
};

// Carries out `next`. A timer that cannot start finishes the launch at once: a hidden launcher with no
// tick to come would hold the guard for ever.
void CarryOut(Form1& form, Shell& shell, const Next& next);

}  // namespace brindle
