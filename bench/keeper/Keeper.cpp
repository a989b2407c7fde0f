// Keeps the Wine session's desktop process alive for the whole bench. Wine closes its desktop process
// about a second after the last program has ended, and the next program's COM start-up then waits for
// a new one; without a program that stays, the first run after every pause would pay for that.
//
// keeper.exe makes one hidden window, leaves keeper.ready beside itself once the window is there, and
// runs until it is ended (the bench kills it) or its window is closed.

#include <string>

#include "common/StepLog.h"
#include "platform/win32/Handles.h"

namespace {

using brindle::win32::UniqueFileHandle;
using brindle::win32::UniqueWindow;

constexpr wchar_t kClassName[] = L"BrindleBenchKeeper";

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

UniqueWindow CreateHiddenWindow(HINSTANCE instance) noexcept {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &Procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  if (!::RegisterClassExW(&windowClass)) return UniqueWindow();
  return UniqueWindow(::CreateWindowExW(0, kClassName, L"Brindle bench keeper", WS_OVERLAPPEDWINDOW, 0, 0,
                                        100, 100, nullptr, nullptr, instance, nullptr));
}

bool SignalReady() {
  const std::wstring path = brindle::bench::ExecutableFolder() + L"keeper.ready";
  const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  UniqueWindow window = CreateHiddenWindow(instance);
  if (!window || !SignalReady()) return 1;
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (!::IsWindow(window.get())) window.release();  // closed: destroyed already
  return 0;
}
