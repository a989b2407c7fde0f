#pragma once
// The thread's message loop and the pump that runs what is already queued. Both hand keyboard
// messages to the dialog manager first, so that Tab, Enter and Esc work in Form1.

#include "shell/Win32Api.h"

namespace brindle::win32 {

// Runs until WM_QUIT and returns its exit code. `form` may be destroyed on the way.
int RunMessageLoop(HWND form) noexcept;

// Runs the messages already queued, then returns. A WM_QUIT met on the way is posted again so that
// the main loop still sees it.
void PumpPendingMessages(HWND form) noexcept;

}  // namespace brindle::win32
