#include "launcher/Form1.h"

#include "launcher/Launch.h"
#include "launcher/Startup.h"
#include "window/CountEntry.h"

namespace brindle {

namespace {

// Nothing may escape into the window procedure; the only thing the core can throw is an allocation
// failure, after which there is nothing sensible left to do for this event.
template <typename Handler>
void Guarded(Handler&& handler) noexcept {
  try {
    handler();
  } catch (...) {
  }
}

}  // namespace

void Form1::OnInitialize() noexcept {
  Guarded([&] { platform_.InitCommonControls(); });
}

void Form1::OnLoad() noexcept {
  Guarded([&] { RunStartup(platform_, session_); });
}

void Form1::OnTimerTick() noexcept {
  Guarded([&] { HandOverTick(platform_, session_); });
}

void Form1::OnOkClick() noexcept {
  // The window is hidden by the first click and never comes back; a click still queued behind it
  // (a double click, a repeating Enter) must not store or launch a second time.
  if (confirmed_) return;
  confirmed_ = true;
  Guarded([&] {
    ConfirmCount(platform_, {.settingsPath = session_.settingsPath, .english = session_.english});
    LaunchInstance(platform_, session_);
  });
}

int Form1::OnCountBoxKey(int code) noexcept {
  return FilterCountBoxKey(code);
}

}  // namespace brindle
