#include "driver/Ui.h"

#include <windows.h>

#include <atomic>
#include <thread>

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

// --- The information window's layout, keyboard and count box ---------------------------------------

static_assert(keys::kBackspace == VK_BACK && keys::kTab == VK_TAB && keys::kEnter == VK_RETURN &&
              keys::kShift == VK_SHIFT && keys::kControl == VK_CONTROL && keys::kAlt == VK_MENU &&
              keys::kEscape == VK_ESCAPE && keys::kEnd == VK_END && keys::kHome == VK_HOME &&
              keys::kF4 == VK_F4);

namespace {

constexpr wchar_t kClipboardMutex[] = L"Local\\BrindleE2eClipboard";
constexpr DWORD kClipboardWaitMs = 120000;
constexpr int kClipboardOpenTries = 100;

// The left/right key that the generic modifier key stands for; GetKeyState asks for either.
int LeftKeyOf(int virtualKey) {
  switch (virtualKey) {
    case VK_SHIFT:
      return VK_LSHIFT;
    case VK_CONTROL:
      return VK_LCONTROL;
    case VK_MENU:
      return VK_LMENU;
    default:
      return 0;
  }
}

void EnsureMessageQueue() {
  MSG message{};
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}

// Another program (Wine's clipboard manager, a paste) may have the clipboard open for a moment.
bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < kClipboardOpenTries; ++attempt) {
    if (OpenClipboard(owner)) return true;
    SleepFor(kPollInterval);
  }
  return false;
}

bool SetClipboardText(const std::wstring& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  CopyMemory(target, text.c_str(), bytes);
  GlobalUnlock(memory);
  if (!SetClipboardData(CF_UNICODETEXT, memory)) {
    GlobalFree(memory);
    return false;
  }
  return true;  // the clipboard owns the memory now
}

}  // namespace

bool WaitUntil(std::chrono::milliseconds timeout, const std::function<bool()>& condition) {
  return PollFor(timeout,
                 [&]() -> std::optional<bool> {
                   if (condition()) return true;
                   return std::nullopt;
                 })
      .has_value();
}

std::wstring WideText(const Window& window) {
  const std::optional<LRESULT> length = Ask(Hwnd(window), WM_GETTEXTLENGTH, 0, 0);
  if (!length || *length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(*length) + 1, L'\0');
  const std::optional<LRESULT> copied =
      Ask(Hwnd(window), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied && *copied > 0 ? static_cast<std::size_t>(*copied) : 0);
  return text;
}

FrameStyle FrameOf(const Window& window) {
  const unsigned long style = window.Style();
  return {.caption = (style & WS_CAPTION) == WS_CAPTION,
          .sizingFrame = (style & WS_THICKFRAME) != 0,
          .maximizeBox = (style & WS_MAXIMIZEBOX) != 0,
          .systemMenu = (style & WS_SYSMENU) != 0};
}

PixelSize ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

namespace {

// Lays the text out on the screen's device context in the font; `wrapWidth` 0: on one line.
std::optional<TextMeasurement> LayOutText(std::wstring_view text, std::wstring_view face, int points,
                                          int wrapWidth) {
  const HDC screen = GetDC(nullptr);
  if (!screen) return std::nullopt;
  const std::wstring faceName(face);
  const HFONT font =
      CreateFontW(-MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_SWISS, faceName.c_str());
  std::optional<TextMeasurement> measured;
  if (font) {
    const HGDIOBJ previous = SelectObject(screen, font);
    SIZE extent{};
    TEXTMETRICW metrics{};
    wchar_t chosen[LF_FACESIZE] = {};
    if (GetTextExtentPoint32W(screen, text.data(), static_cast<int>(text.size()), &extent) &&
        GetTextMetricsW(screen, &metrics) && GetTextFaceW(screen, LF_FACESIZE, chosen) > 0) {
      measured = TextMeasurement{extent.cx, metrics.tmHeight, Narrow(chosen)};
    }
    if (measured && wrapWidth > 0) {
      // As a static control with SS_LEFT and SS_NOPREFIX draws its text.
      RECT bounds{0, 0, wrapWidth, 0};
      const std::wstring terminated(text);
      if (DrawTextW(screen, terminated.c_str(), -1, &bounds,
                    DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_LEFT)) {
        measured->width = bounds.right - bounds.left;
        measured->height = bounds.bottom - bounds.top;
      } else {
        measured.reset();
      }
    }
    SelectObject(screen, previous);
    DeleteObject(font);
  }
  ReleaseDC(nullptr, screen);
  return measured;
}

}  // namespace

std::optional<TextMeasurement> MeasureText(std::wstring_view text, std::wstring_view face, int points) {
  return LayOutText(text, face, points, 0);
}

std::optional<TextMeasurement> MeasureWrappedText(std::wstring_view text, std::wstring_view face, int points,
                                                  int width) {
  if (width <= 0) return std::nullopt;
  return LayOutText(text, face, points, width);
}

std::optional<int> TextLimit(const Window& edit) {
  const std::optional<LRESULT> limit = Ask(Hwnd(edit), EM_GETLIMITTEXT, 0, 0);
  if (!limit) return std::nullopt;
  return static_cast<int>(*limit);
}

bool PostClick(const Window& button) {
  return PostMessageW(Hwnd(button), BM_CLICK, 0, 0) != FALSE;
}

bool PostAltKey(const Window& target, int virtualKey) {
  const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | static_cast<LPARAM>(scanCode) << 16 | LPARAM{1} << 29;
  const LPARAM up = down | LPARAM{1} << 30 | LPARAM{1} << 31;
  return PostMessageW(Hwnd(target), WM_SYSKEYDOWN, static_cast<WPARAM>(virtualKey), down) &&
         PostMessageW(Hwnd(target), WM_SYSKEYUP, static_cast<WPARAM>(virtualKey), up);
}

HeldKeys::HeldKeys(const Window& window, std::initializer_list<int> virtualKeys) {
  EnsureMessageQueue();
  ownThread_ = GetCurrentThreadId();
  targetThread_ = GetWindowThreadProcessId(Hwnd(window), nullptr);
  if (targetThread_ == 0 || targetThread_ == ownThread_) return;
  attached_ = AttachThreadInput(ownThread_, targetThread_, TRUE) != FALSE;
  if (!attached_) return;
  BYTE state[256] = {};
  if (!GetKeyboardState(state)) return;
  saved_.assign(state, state + 256);
  for (const int key : virtualKeys) {
    state[key & 0xFF] |= 0x80;
    if (const int left = LeftKeyOf(key)) state[left] |= 0x80;
  }
  held_ = SetKeyboardState(state) != FALSE;
}

HeldKeys::~HeldKeys() {
  if (held_) {
    SetKeyboardState(saved_.data());
  }
  if (attached_) AttachThreadInput(ownThread_, targetThread_, FALSE);
}

std::optional<Window> ForegroundWindow() {
  const HWND window = GetForegroundWindow();
  if (!window) return std::nullopt;
  return Window(window);
}

namespace {

// The window is the foreground window and the active window of its thread, which has a focus.
bool HasKeyboard(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) && info.hwndActive == window &&
         info.hwndFocus;
}

}  // namespace

struct ForegroundWatch::State {
  HWND window = nullptr;
  std::atomic<bool> lost{false};
  std::atomic<bool> stop{false};
  std::thread watcher;
};

ForegroundWatch::ForegroundWatch(const Window& window) : state_(std::make_unique<State>()) {
  state_->window = Hwnd(window);
  State& state = *state_;
  state.watcher = std::thread([&state] {
    while (!state.stop.load()) {
      if (!HasKeyboard(state.window)) state.lost.store(true);
      Sleep(1);
    }
  });
}

ForegroundWatch::~ForegroundWatch() {
  state_->stop.store(true);
  if (state_->watcher.joinable()) state_->watcher.join();
}

bool ForegroundWatch::Lost() const {
  // The watcher may not have had a turn lately on a busy machine; a loss that lasts is seen here.
  if (!HasKeyboard(state_->window)) state_->lost.store(true);
  return state_->lost.load();
}

std::optional<TextSelection> SelectionOf(const Window& edit) {
  const std::optional<LRESULT> selection = Ask(Hwnd(edit), EM_GETSEL, 0, 0);
  if (!selection) return std::nullopt;
  const auto packed = static_cast<DWORD>(*selection);
  return TextSelection{LOWORD(packed), HIWORD(packed)};
}

ClipboardLock::ClipboardLock() {
  mutex_ = CreateMutexW(nullptr, FALSE, kClipboardMutex);
  if (!mutex_) return;
  const DWORD waited = WaitForSingleObject(mutex_, kClipboardWaitMs);
  locked_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  if (!locked_) return;
  owner_ = CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

ClipboardLock::~ClipboardLock() {
  if (owner_) DestroyWindow(static_cast<HWND>(owner_));
  if (locked_) ReleaseMutex(mutex_);
  if (mutex_) CloseHandle(mutex_);
}

bool ClipboardLock::Put(std::string_view utf8) {
  if (!locked() || !owner_) return false;
  if (!OpenClipboardSoon(static_cast<HWND>(owner_))) return false;
  const bool put = EmptyClipboard() && SetClipboardText(Widen(utf8));
  CloseClipboard();
  return put;
}

}  // namespace brindle::e2e
