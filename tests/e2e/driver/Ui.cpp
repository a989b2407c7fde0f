#include "driver/Ui.h"

#include <windows.h>

#include "driver/Clock.h"
#include "driver/Text.h"

namespace brindle::e2e {
namespace {

// Long enough for a busy machine, short enough that a hung program fails the test instead of
// stalling it.
constexpr UINT kAnswerTimeoutMs = 10000;
constexpr auto kPollInterval = std::chrono::milliseconds(50);

HWND Hwnd(const Window& window) {
  return static_cast<HWND>(window.handle());
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(result);
}

// Calls probe until it returns a value or the timeout has passed.
template <typename Probe>
auto PollFor(std::chrono::milliseconds timeout, Probe probe) -> decltype(probe()) {
  const Timestamp deadline = Later(Now(), timeout);
  for (;;) {
    if (auto found = probe()) return found;
    if (Now() > deadline) return std::nullopt;
    SleepFor(kPollInterval);
  }
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
  auto& found = *reinterpret_cast<std::pair<DWORD, std::vector<Window>*>*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == found.first) found.second->emplace_back(window);
  return TRUE;
}

struct ChildSearch {
  int controlId;
  HWND found;
};

BOOL CALLBACK FindChildById(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<ChildSearch*>(context);
  if (GetDlgCtrlID(window) != search.controlId) return TRUE;
  search.found = window;
  return FALSE;
}

std::string MessageBoxText(const Window& box) {
  std::string text;
  for (const Window& child : box.Children()) {
    if (child.ClassName() != "Static") continue;
    const std::string part = child.Text();
    if (part.empty()) continue;  // the icon
    if (!text.empty()) text += '\n';
    text += part;
  }
  return text;
}

std::optional<Window> OkButton(const Window& box) {
  std::optional<Window> firstButton;
  for (const Window& child : box.Children()) {
    if (child.ClassName() != "Button") continue;
    if (child.ControlId() == IDOK || child.Text() == "OK") return child;
    if (!firstButton) firstButton = child;
  }
  return firstButton;
}

}  // namespace

bool Window::Exists() const {
  return IsWindow(Hwnd(*this)) != FALSE;
}
bool Window::Visible() const {
  return IsWindowVisible(Hwnd(*this)) != FALSE;
}
bool Window::Enabled() const {
  return IsWindowEnabled(Hwnd(*this)) != FALSE;
}

unsigned long Window::ProcessId() const {
  DWORD pid = 0;
  GetWindowThreadProcessId(Hwnd(*this), &pid);
  return pid;
}

std::string Window::ClassName() const {
  wchar_t name[256] = {};
  const int length = GetClassNameW(Hwnd(*this), name, 256);
  return Narrow(std::wstring_view(name, static_cast<std::size_t>(length > 0 ? length : 0)));
}

int Window::ControlId() const {
  return GetDlgCtrlID(Hwnd(*this));
}
unsigned long Window::Style() const {
  return static_cast<unsigned long>(GetWindowLongW(Hwnd(*this), GWL_STYLE));
}
unsigned long Window::ExtendedStyle() const {
  return static_cast<unsigned long>(GetWindowLongW(Hwnd(*this), GWL_EXSTYLE));
}

std::string Window::Text() const {
  const std::optional<LRESULT> length = Ask(Hwnd(*this), WM_GETTEXTLENGTH, 0, 0);
  if (!length || *length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(*length) + 1, L'\0');
  const std::optional<LRESULT> copied =
      Ask(Hwnd(*this), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied && *copied > 0 ? static_cast<std::size_t>(*copied) : 0);
  return Narrow(text);
}

std::optional<Window> Window::Child(int controlId) const {
  ChildSearch search{controlId, nullptr};
  EnumChildWindows(Hwnd(*this), FindChildById, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return std::nullopt;
  return Window(search.found);
}

std::vector<Window> Window::Children() const {
  std::vector<Window> children;
  for (HWND child = GetWindow(Hwnd(*this), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.emplace_back(child);
  }
  return children;
}

PixelRect Window::ScreenRect() const {
  RECT rect{};
  GetWindowRect(Hwnd(*this), &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

PixelRect Window::RectInParent() const {
  RECT rect{};
  GetWindowRect(Hwnd(*this), &rect);
  const HWND parent = GetAncestor(Hwnd(*this), GA_PARENT);
  if (parent && parent != GetDesktopWindow()) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

PixelSize Window::ClientSize() const {
  RECT rect{};
  GetClientRect(Hwnd(*this), &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

std::optional<Window> Window::FocusedControl() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(Hwnd(*this), nullptr), &info) || !info.hwndFocus) {
    return std::nullopt;
  }
  return Window(info.hwndFocus);
}

bool Window::PostKey(int virtualKey) const {
  const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | static_cast<LPARAM>(scanCode) << 16;
  const LPARAM up = down | LPARAM{1} << 30 | LPARAM{1} << 31;
  return PostMessageW(Hwnd(*this), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), down) &&
         PostMessageW(Hwnd(*this), WM_KEYUP, static_cast<WPARAM>(virtualKey), up);
}

bool Window::PostChars(std::string_view utf8) const {
  for (const wchar_t unit : Widen(utf8)) {
    if (!PostMessageW(Hwnd(*this), WM_CHAR, static_cast<WPARAM>(unit), 1)) return false;
  }
  return true;
}

bool Window::Click() const {
  return Ask(Hwnd(*this), BM_CLICK, 0, 0).has_value();
}

bool Window::Close() const {
  return PostMessageW(Hwnd(*this), WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}

std::optional<int> Window::CheckState() const {
  const std::optional<LRESULT> state = Ask(Hwnd(*this), BM_GETCHECK, 0, 0);
  if (!state) return std::nullopt;
  return static_cast<int>(*state);
}

std::vector<Window> TopLevelWindows(unsigned long pid) {
  std::vector<Window> windows;
  std::pair<DWORD, std::vector<Window>*> context{pid, &windows};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&context));
  return windows;
}

std::optional<Window> WaitForWindow(unsigned long pid, std::string_view caption,
                                    std::chrono::milliseconds timeout) {
  return PollFor(timeout, [&]() -> std::optional<Window> {
    for (const Window& window : TopLevelWindows(pid)) {
      if (window.Visible() && window.Text() == caption) return window;
    }
    return std::nullopt;
  });
}

std::optional<MessageBoxView> FindMessageBox(unsigned long pid) {
  for (const Window& window : TopLevelWindows(pid)) {
    if (window.ClassName() == kMessageBoxClass && window.Visible()) {
      return MessageBoxView{window, window.Text(), MessageBoxText(window)};
    }
  }
  return std::nullopt;
}

std::optional<MessageBoxView> WaitForMessageBox(unsigned long pid, std::chrono::milliseconds timeout) {
  return PollFor(timeout, [&] { return FindMessageBox(pid); });
}

bool PressOk(const MessageBoxView& box) {
  const std::optional<Window> button = OkButton(box.window);
  if (!button || !button->Click()) return false;
  const std::optional<bool> gone =
      PollFor(std::chrono::milliseconds(kAnswerTimeoutMs), [&]() -> std::optional<bool> {
        if (!box.window.Exists() || !box.window.Visible()) return true;
        return std::nullopt;
      });
  return gone.has_value();
}

}  // namespace brindle::e2e
