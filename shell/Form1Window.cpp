#include "shell/Form1Window.h"

#include "shell/Utf8.h"
#include "window/CountEntry.h"
#include "window/Wording.h"

namespace brindle::win32 {
namespace {

constexpr wchar_t kClassName[] = L"BrindleForm1";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kCountBoxSubclass = 1;
constexpr int kApplicationIcon = 1;

// A fixed single border: caption bar and system menu, no sizing frame, no maximise box. The window
// procedure falls back on the dialog manager's, which moves the focus with Tab, saves and restores it
// when the window loses and regains the activation, and lets Enter press a push button that has it.
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
      // Plain: the dialog manager makes it the default button only while it has the focus.
      return {.className = WC_BUTTONW, .style = BS_PUSHBUTTON, .exStyle = 0};
  }
  return {.className = WC_STATICW, .style = 0, .exStyle = 0};
}

ControlStyle StyleOf(ControlKind kind, bool tabStop) noexcept {
  ControlStyle style = BaseStyleOf(kind);
  style.style |= WS_CHILD | WS_VISIBLE | (tabStop ? WS_TABSTOP : 0);
  return style;
}

// Where a control stands in the client area, in pixels.
RECT PlaceOf(HWND control) noexcept {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
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
  windowClass.cbWndExtra = DLGWINDOWEXTRA;  // the dialog manager keeps its state there
  windowClass.hInstance = form.instance;
  windowClass.hIcon = form.bigIcon;
  windowClass.hIconSm = form.smallIcon;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool Form1Window::Create(HINSTANCE instance, Form1& form) noexcept {
  form_ = &form;
  dpi_ = ScreenDpi();
  font_ = CreateDialogFont(dpi_);
  bigIcon_ = LoadApplicationIcon(instance, SM_CXICON, SM_CYICON);
  smallIcon_ = LoadApplicationIcon(instance, SM_CXSMICON, SM_CYSMICON);
  instance_ = instance;
  return CreateFrame(instance);
}

void Form1Window::CreateControls() noexcept {
  for (const ControlId id : kZOrder) CreateControl(instance_, SpecOf(id));  // none without the window
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
  window_.reset(::CreateWindowExW(kFrameExStyle, kClassName, caption.c_str(), kFrameStyle, position.x,
                                  position.y, size.cx, size.cy, nullptr, nullptr, instance, this));
  return static_cast<bool>(window_);
}

void Form1Window::CreateControl(HINSTANCE instance, const ControlSpec& row) noexcept {
  const ControlStyle style = StyleOf(row.kind, row.tabOrder != kNoTabStop);
  const std::wstring text = InitialText(row.id);
  const HWND control = ::CreateWindowExW(
      style.exStyle, style.className, text.c_str(), style.style, TwipsToPixels(row.left, dpi_.x),
      TwipsToPixels(row.top, dpi_.y), TwipsToPixels(row.width, dpi_.x), TwipsToPixels(row.height, dpi_.y),
      window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlNumber(row.id))), instance, nullptr);
  if (!control) return;
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (row.kind == ControlKind::AutoSizeLabel) FitToText(control, text);
  if (row.kind == ControlKind::TextBox) {
    // The edit's own limit also cuts what is pasted.
    ::SendMessageW(control, EM_LIMITTEXT, kText1MaxLength, 0);
    ::SetWindowSubclass(control, &Form1Window::CountBoxProcedure, kCountBoxSubclass,
                        reinterpret_cast<DWORD_PTR>(this));
  }
}

void Form1Window::FitToText(HWND control, std::wstring_view text) noexcept {
  SIZE extent{};
  TEXTMETRICW metrics{};
  {
    const WindowDc dc(control);
    if (!dc || !font_) return;
    const SelectedObject font(dc.get(), font_.get());
    if (!::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &extent)) return;
    if (!::GetTextMetricsW(dc.get(), &metrics)) return;
  }
  ::SetWindowPos(control, nullptr, 0, 0, extent.cx, metrics.tmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Form1Window::Control(ControlId id) const noexcept {
  return window_ ? ::GetDlgItem(window_.get(), ControlNumber(id)) : nullptr;
}

void Form1Window::Hide() noexcept {
  if (window_) ::ShowWindow(window_.get(), SW_HIDE);
}

void Form1Window::ShowWindow() noexcept {
  if (!window_) return;
  ::ShowWindow(window_.get(), SW_SHOWNORMAL);
  ::SetForegroundWindow(window_.get());
  // Through the dialog manager, which also makes the button the one that Enter presses.
  if (const HWND ok = Control(ControlId::Command1))
    ::SendMessageW(window_.get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
}

bool Form1Window::StartTimer(int intervalMs) noexcept {
  return window_ && intervalMs > 0 &&
         ::SetTimer(window_.get(), kTimer1, static_cast<UINT>(intervalMs), nullptr) != 0;
}

void Form1Window::End(ExitStatus status) noexcept {
  exitStatus_ = status;
  window_.reset();  // its last message posts the end of the message loop
}

std::wstring Form1Window::Text(ControlId id) {
  const HWND control = Control(id);
  const int length = control ? ::GetWindowTextLengthW(control) : 0;
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

bool Form1Window::SetText(ControlId id, std::wstring_view text) noexcept {
  const HWND control = Control(id);
  const std::wstring terminated(text);
  if (!control || !::SetWindowTextW(control, terminated.c_str())) return false;
  if (SpecOf(id).kind == ControlKind::AutoSizeLabel) FitToText(control, terminated);
  return true;
}

int Form1Window::Left(ControlId id) const noexcept {
  const HWND control = Control(id);
  return control ? PixelsToTwips(PlaceOf(control).left, dpi_.x) : 0;
}

bool Form1Window::SetLeft(ControlId id, int left) noexcept {
  const HWND control = Control(id);
  return control && ::SetWindowPos(control, nullptr, TwipsToPixels(left, dpi_.x), PlaceOf(control).top, 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form1Window::CheckValue(ControlId id) const noexcept {
  const HWND control = Control(id);
  return control ? static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0)) : 0;
}

LRESULT CALLBACK Form1Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* self = reinterpret_cast<Form1Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefDlgProcW(window, message, wParam, lParam);
  return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT Form1Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_COMMAND:
      // Enter on the focused OK button comes as its click. Enter elsewhere (IDOK) and Esc (IDCANCEL)
      // do nothing: the button is neither default nor cancel button.
      if (LOWORD(wParam) == ControlNumber(ControlId::Command1) && HIWORD(wParam) == BN_CLICKED)
        CarryOut(*form_, *this, form_->OnOkClick());
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) CarryOut(*form_, *this, form_->OnTimerTick());
      return 0;
    case WM_DRAWITEM:
      DrawDot(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CLOSE:  // the dialog manager would turn it into Esc
      End(ExitStatus::WindowClosed);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(static_cast<int>(exitStatus_));
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_.release();
      break;
    default:
      break;
  }
  return ::DefDlgProcW(window, message, wParam, lParam);
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
  if (message == WM_CHAR && form && form->form_) {
    // The key filter decides: drop the key, or deliver the code it returns to the edit itself
    // (Ctrl+V comes as code 22 and the edit pastes, cut to its limit).
    const int code = form->form_->OnCountBoxKey(static_cast<int>(wParam));
    if (code == kSwallowKey) return 0;
    return ::DefSubclassProc(edit, message, static_cast<WPARAM>(code), lParam);
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(edit, &Form1Window::CountBoxProcedure, subclassId);
  return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace brindle::win32
