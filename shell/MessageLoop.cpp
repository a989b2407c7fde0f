#include "shell/MessageLoop.h"

namespace brindle::win32 {
namespace {

void Dispatch(HWND form, MSG& message) noexcept {
  if (form && ::IsWindow(form) && ::IsDialogMessageW(form, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

}  // namespace

int RunMessageLoop(HWND form) noexcept {
  MSG message{};
  for (;;) {
    const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) return static_cast<int>(message.wParam);
    if (result == -1) return 1;
    Dispatch(form, message);
  }
}

void PumpPendingMessages(HWND form) noexcept {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(form, message);
  }
}

}  // namespace brindle::win32
