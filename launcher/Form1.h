#pragma once
// Form1's logic: the values that live for the whole run and the handlers of the window's events. Each
// handler reaches the system through Platform and the window through Window, and returns what happens
// next, which CarryOut carries out.

#include "launcher/Next.h"
#include "launcher/Session.h"
#include "platform/Platform.h"
#include "window/Window.h"

namespace brindle {

class Form1 {
 public:
  Form1(Platform& platform, Window& window) : platform_(platform), window_(window) {}

  Next OnLoad() noexcept;  // the window is made, hidden: the start-up sequence
  Next OnOkClick() noexcept;
  Next OnTimerTick() noexcept;
  Next OnTimerFailed() noexcept;  // the hand-over wait could not start its timer
  Next OnClose() noexcept;        // the user closed the shown window
  // A character typed into the count box; returns the code to deliver, or kSwallowKey.
  int OnCountBoxKey(int code) noexcept;

  // Carries out what a handler returned. A timer that cannot start finishes the launch at once: a
  // hidden launcher with no tick to come would hold the guard for ever.
  void CarryOut(const Next& next) noexcept;

 private:
  Platform& platform_;
  Window& window_;
  Session session_;
  bool confirmed_ = false;
};

}  // namespace brindle
