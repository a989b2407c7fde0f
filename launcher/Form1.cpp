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

void Form1::OnInitialize() noexcept {
  platform_.InitCommonControls();
}

Next Form1::OnLoad() noexcept {
  return Guarded([&] { return RunStartup(platform_, session_); });
}

Next Form1::OnOkClick() noexcept {
  // The window is hidden by the first click and never comes back; a click still queued behind it
  // (a double click, a repeating Enter, one that arrives while the hint box is open) must not store or
  // launch a second time.
  if (confirmed_) return Next::Stay();
  confirmed_ = true;
  return Guarded([&] {
    ConfirmCount(platform_, {.settingsPath = session_.settingsPath, .english = session_.english});
    return LaunchInstance(platform_, session_);
  });
}

Next Form1::OnTimerTick() noexcept {
  return Guarded([&] { return HandOverTick(platform_, session_); });
}

Next Form1::OnTimerFailed() noexcept {
  return Guarded([&] { return HandOverFinish(platform_, session_); });
}

int Form1::OnCountBoxKey(int code) noexcept {
  return FilterCountBoxKey(code);
}

void CarryOut(Form1& form, Shell& shell, const Next& next) {
  switch (next.step) {
    case Next::Step::Stay:
      return;
    case Next::Step::ShowWindow:
      return shell.ShowWindow();
    case Next::Step::WaitOnTimer:
      if (!shell.StartTimer(next.tickMs)) CarryOut(form, shell, form.OnTimerFailed());
      return;
    case Next::Step::End:
      return shell.End(next.status);
  }
}

}  // namespace brindle
