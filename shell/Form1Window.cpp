#include "shell/Form1Window.h"

#include "shell/Text.h"
#include "window/Texts.h"

namespace brindle::win32 {
namespace {

constexpr wchar_t kClassName[] = L"BrindleForm1";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kCountBoxSubclass = 1;
constexpr int kApplicationIcon = 1;

// A fixed single border: caption bar and system menu, no sizing frame, no maximise box.
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyle = 0;

// How each kind of control of the table is made: window class and styles.
struct ControlStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlStyle BaseStyleOf(ControlKind kind) noexcept {
  switch (kind) {
    case ControlKind::AutoSizeLabel:
      // One line, never wrapped; the window sizes the control to its text.
      return {.className = WC_STATICW, .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX, .exStyle = 0};
    case ControlKind::WrapLabel:
      return {.className = WC_STATICW, .style = SS_LEFT | SS_NOPREFIX, .exStyle = 0};
    case ControlKind::Dot:
      return {.className = WC_STATICW, .style = SS_OWNERDRAW, .exStyle = 0};
    case ControlKind::TextBox:
      return {.className = WC_EDITW, .style = ES_LEFT | ES_AUTOHSCROLL, .exStyle = WS_EX_CLIENTEDGE};
    case ControlKind::CheckBox:
      return {.className = WC_BUTTONW, .style = BS_AUTOCHECKBOX, .exStyle = 0};
    case ControlKind::PushButton:
      // Never BS_DEFPUSHBUTTON: the button is not the window's default button.
      return {.className = WC_BUTTONW, .style = BS_PUSHBUTTON, .exStyle = 0};
  }
  return {.className = WC_STATICW, .style = 0, .exStyle = 0};
}

ControlStyle StyleOf(ControlKind kind, bool tabStop) noexcept {
  ControlStyle style = BaseStyleOf(kind);
  style.style |= WS_CHILD | WS_VISIBLE | (tabStop ? WS_TABSTOP : 0);
  return style;
}

std::size_t IndexOf(ControlId id) noexcept {
  return static_cast<std::size_t>(id);
}

// The layout was measured in "MS Sans Serif" 8 pt; where the bitmap face is missing Windows puts
// its TrueType successor in its place.
UniqueFont CreateDialogFont(const Dpi& dpi) noexcept {
  return UniqueFont(::CreateFontW(-::MulDiv(8, dpi.y, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif"));
}

UniqueIcon LoadApplicationIcon(HINSTANCE instance, int widthMetric, int heightMetric) noexcept {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kApplicationIcon), IMAGE_ICON,
                                                    ::GetSystemMetrics(widthMetric),
                                                    ::GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR)));
}

std::wstring InitialText(ControlId id) {
  if (id == ControlId::Text1) return Widen(kText1Initial);
  return Widen(ControlTextOf(id, false).value_or(std::string_view{}));
}

SIZE FrameSizeFor(const Dpi& dpi) noexcept {
  RECT frame{0, 0, TwipsToPixels(kForm1.clientWidth, dpi.x), TwipsToPixels(kForm1.clientHeight, dpi.y)};
  ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

POINT CentredOnScreen(SIZE size) noexcept {
  return {(::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2, (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
}

struct FormClass {
  HINSTANCE instance;
  WNDPROC procedure;
  HICON bigIcon;
  HICON smallIcon;
};

bool RegisterFormClass(const FormClass& form) noexcept {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = form.procedure;
  windowClass.hInstance = form.instance;
  windowClass.hIcon = form.bigIcon;
  windowClass.hIconSm = form.smallIcon;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool Form1Window::Create(const Form1Setup& setup) noexcept {
  events_ = setup.events;
  dpi_ = ScreenDpi();
  font_ = CreateDialogFont(dpi_);
  bigIcon_ = LoadApplicationIcon(setup.instance, SM_CXICON, SM_CYICON);
  smallIcon_ = LoadApplicationIcon(setup.instance, SM_CXSMICON, SM_CYSMICON);
  instance_ = setup.instance;
  for (const ControlSpec& row : kControls)
    layout_[IndexOf(row.id)] = {.left = row.left, .top = row.top, .width = row.width, .height = row.height};
  return CreateFrame(setup.instance);
}

// The controls are made when the window is first shown or a control is first touched. A silent
// launch never shows the window, and skipping sixteen controls there starts the messenger sooner.
void Form1Window::BuildControls() noexcept {
  if (controlsBuilt_ || !window_) return;
  controlsBuilt_ = true;
  for (const ControlSpec& row : kControls) CreateControl(instance_, row);
  ArrangeTabOrder();
  lastFocus_ = Control(ControlId::Command1);
}

bool Form1Window::CreateFrame(HINSTANCE instance) noexcept {
  if (!RegisterFormClass({.instance = instance,
                          .procedure = &Form1Window::Procedure,
                          .bigIcon = bigIcon_.get(),
                          .smallIcon = smallIcon_.get()}))
    return false;
  const SIZE size = FrameSizeFor(dpi_);
  const POINT position = CentredOnScreen(size);
  const std::wstring caption = Widen(kForm1.caption);
  // Created hidden: the load decides whether the window is ever shown.
  const HWND window = ::CreateWindowExW(kFrameExStyle, kClassName, caption.c_str(), kFrameStyle, position.x,
                                        position.y, size.cx, size.cy, nullptr, nullptr, instance, this);
  if (!window) return false;
  window_.reset(window);
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return true;
}

void Form1Window::CreateControl(HINSTANCE instance, const ControlSpec& row) noexcept {
  const std::size_t index = IndexOf(row.id);
  const ControlStyle style = StyleOf(row.kind, row.tabOrder != kNoTabStop);
  const RECT bounds = ToPixels(layout_[index], dpi_);
  const std::wstring text = InitialText(row.id);
  const HWND control = ::CreateWindowExW(
      style.exStyle, style.className, text.c_str(), style.style, bounds.left, bounds.top,
      bounds.right - bounds.left, bounds.bottom - bounds.top, window_.get(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlNumber(row.id))), instance, nullptr);
  controls_[index] = control;
  if (!control) return;
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

  switch (row.kind) {
    case ControlKind::AutoSizeLabel:
      FitToText(row.id, text);
      break;
    case ControlKind::TextBox:
      // The edit's own limit also cuts what is pasted.
      ::SendMessageW(control, EM_LIMITTEXT, kText1MaxLength, 0);
      ::SetWindowSubclass(control, &Form1Window::CountBoxProcedure, kCountBoxSubclass,
                          reinterpret_cast<DWORD_PTR>(this));
      break;
    default:
      break;
  }
}

// Tab walks the controls in z-order, so the focusable ones go to the bottom, one after the other, in
// their tab order.
void Form1Window::ArrangeTabOrder() noexcept {
  for (int order = 1;; ++order) {
    const ControlSpec* next = nullptr;
    for (const ControlSpec& row : kControls)
      if (row.tabOrder == order) next = &row;
    if (!next) return;
    ::SetWindowPos(Control(next->id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Form1Window::FitToText(ControlId id, std::wstring_view text) noexcept {
  const HWND control = Control(id);
  if (!control || !font_) return;
  SIZE extent{};
  TEXTMETRICW metrics{};
  {
    const WindowDc dc(control);
    if (!dc) return;
    const SelectedObject font(dc.get(), font_.get());
    if (!::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &extent)) return;
    if (!::GetTextMetricsW(dc.get(), &metrics)) return;
  }
  ::SetWindowPos(control, nullptr, 0, 0, extent.cx, metrics.tmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  TwipsRect& twips = layout_[IndexOf(id)];
  twips.width = PixelsToTwips(extent.cx, dpi_.x);
  twips.height = PixelsToTwips(metrics.tmHeight, dpi_.y);
}

HWND Form1Window::Control(ControlId id) const noexcept {
  const std::size_t index = IndexOf(id);
  return index < controls_.size() ? controls_[index] : nullptr;
}

void Form1Window::Hide() noexcept {
  if (window_) ::ShowWindow(window_.get(), SW_HIDE);
}

void Form1Window::Show() noexcept {
  if (!window_) return;
  BuildControls();
  lastFocus_ = Control(ControlId::Command1);
  ::ShowWindow(window_.get(), SW_SHOWNORMAL);
  ::SetForegroundWindow(window_.get());
  if (lastFocus_) ::SetFocus(lastFocus_);
}

void Form1Window::Destroy() noexcept {
  window_.reset();
}

void Form1Window::SetTimer(const TimerSetting& timer) noexcept {
  if (!window_) return;
  // As with a toolkit timer, an interval of 0 means no ticks. Setting it again replaces the
  // interval and keeps it ticking.
  if (timer.enabled && timer.intervalMs > 0)
    ::SetTimer(window_.get(), kTimer1, static_cast<UINT>(timer.intervalMs), nullptr);
  else
    ::KillTimer(window_.get(), kTimer1);
}

std::wstring Form1Window::Text(ControlId id) {
  BuildControls();
  const HWND control = Control(id);
  if (!control) return {};
  const int length = ::GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

bool Form1Window::SetText(ControlId id, std::wstring_view text) noexcept {
  BuildControls();
  const HWND control = Control(id);
  if (!control) return false;
  const std::wstring terminated(text);
  if (!::SetWindowTextW(control, terminated.c_str())) return false;
  if (SpecOf(id).kind == ControlKind::AutoSizeLabel) FitToText(id, terminated);
  return true;
}

int Form1Window::Left(ControlId id) const noexcept {
  return layout_[IndexOf(id)].left;
}

bool Form1Window::SetLeft(ControlId id, int left) noexcept {
  BuildControls();
  const HWND control = Control(id);
  if (!control) return false;
  TwipsRect& twips = layout_[IndexOf(id)];
  const RECT bounds =
      ToPixels({.left = left, .top = twips.top, .width = twips.width, .height = twips.height}, dpi_);
  if (!::SetWindowPos(control, nullptr, bounds.left, bounds.top, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
    return false;
  twips.left = left;
  return true;
}

int Form1Window::CheckValue(ControlId id) noexcept {
  BuildControls();
  const HWND control = Control(id);
  if (!control) return 0;
  return static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
}

LRESULT CALLBACK Form1Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* self = reinterpret_cast<Form1Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT Form1Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1 && events_) events_->OnTimerTick();
      return 0;
    case WM_DRAWITEM:
      DrawDot(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_ACTIVATE:
      OnActivate(window, wParam);
      break;
    case WM_SETFOCUS:
      // A plain window takes the focus itself when activated; pass it on to the control that had it.
      if (lastFocus_ && ::IsWindow(lastFocus_)) ::SetFocus(lastFocus_);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_.release();
      controls_.fill(nullptr);
      lastFocus_ = nullptr;
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void Form1Window::OnCommand(WPARAM wParam) noexcept {
  if (!events_) return;
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  // The dialog manager turns Enter into IDOK whichever control has the focus, and Esc into IDCANCEL.
  // The OK button is no default button: Enter presses it only while it has the focus.
  if (id == IDOK) {
    const HWND ok = Control(ControlId::Command1);
    if (ok && ::GetFocus() == ok) events_->OnOkClick();
    return;
  }
  if (id == ControlNumber(ControlId::Command1) && code == BN_CLICKED) events_->OnOkClick();
}

void Form1Window::OnActivate(HWND window, WPARAM wParam) noexcept {
  if (LOWORD(wParam) != WA_INACTIVE) return;
  const HWND focus = ::GetFocus();
  if (focus && ::IsChild(window, focus)) lastFocus_ = focus;
}

// The dots: solid black circles outlined in the window-text colour.
void Form1Window::DrawDot(const DRAWITEMSTRUCT& item) noexcept {
  if (item.CtlType != ODT_STATIC) return;
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  const SelectedObject brush(item.hDC, ::GetStockObject(BLACK_BRUSH));
  const SelectedObject pen(item.hDC, ::GetStockObject(DC_PEN));
  ::SetDCPenColor(item.hDC, ::GetSysColor(COLOR_WINDOWTEXT));
  ::Ellipse(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
}

LRESULT CALLBACK Form1Window::CountBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR subclassId, DWORD_PTR self) noexcept {
  auto* form = reinterpret_cast<Form1Window*>(self);
  if (message == WM_CHAR && form && form->events_) {
    // The key filter decides: drop the key, or deliver the code it returns to the edit itself
    // (Ctrl+V comes as code 22 and the edit pastes, cut to its limit).
    const int code = form->events_->OnCountBoxKey(static_cast<int>(wParam));
    if (code == kSwallowKey) return 0;
    return ::DefSubclassProc(edit, message, static_cast<WPARAM>(code), lParam);
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(edit, &Form1Window::CountBoxProcedure, subclassId);
  return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace brindle::win32
