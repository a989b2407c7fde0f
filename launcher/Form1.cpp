#include "launcher/Form1.h"

#include "launcher/Launch.h"
#include "launcher/Startup.h"
#include "window/CountEntry.h"

namespace brindle {

namespace {

// Nothing may escape into the window procedure. What the core can throw is an allocation failure;
// after it the step cannot be trusted to have left the launch in any state, and a launcher that stayed
// would be a hidden process holding the guard: the run ends.
template <typename Handler>
Next Guarded(Handler&& handler) noexcept {
  try {
    return handler();
  } catch (...) {
    return Next::End(ExitStatus::Failed);
  }
}

}  // namespace

Next Form1::OnLoad() noexcept {
  return Guarded([&] { return RunStartup(platform_, window_, session_); });
}

Next Form1::OnOkClick() noexcept {
  // The window is hidden by the first click and never comes back; a click still queued behind it
  // (a double click, a repeating Enter, one that arrives while the hint box is open) must not store or
  // launch a second time.
  if (confirmed_) return Next::Stay();
  confirmed_ = true;
  return Guarded([&] {
    ConfirmCount(platform_, window_, {.settingsPath = session_.settingsPath, .english = session_.english});
    return LaunchInstance(platform_, window_, session_);
  });
}

Next Form1::OnTimerTick() noexcept {
  return Guarded([&] { return HandOverTick(platform_, session_); });
}

Next Form1::OnTimerFailed() noexcept {
  return Guarded([&] { return HandOverFinish(platform_, session_); });
}

Next Form1::OnClose() noexcept {
  return Next::End(ExitStatus::WindowClosed);  // nothing launched, nothing stored
}

int Form1::OnCountBoxKey(int code) noexcept {
  return FilterCountBoxKey(code);
}

void Form1::CarryOut(const Next& next) noexcept {
  switch (next.step) {
    case Next::Step::Stay:
      return;
    case Next::Step::WaitOnTimer:
      if (!window_.StartTimer(next.tickMs)) CarryOut(OnTimerFailed());
      return;
    case Next::Step::End:
      return window_.End(next.status);
  }
}

}  // namespace brindle
