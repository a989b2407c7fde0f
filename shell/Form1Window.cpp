#include "shell/Form1Window.h"

#include "shell/MessageLoop.h"
#include "shell/Utf8.h"
#include "window/CountEntry.h"

namespace brindle::win32 {
namespace {

constexpr wchar_t kClassName[] = L"BrindleForm1";
constexpr UINT_PTR kTimer1 = 1;
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

// The common controls, for a window that is about to be made: a start that launches at once never loads
// them. By name from System32 only, where that can be asked for (Windows 7 needs KB2533623); the
// manifest's activation context then gives version 6. InitCommonControls is called right away.
UniqueModule LoadCommonControls() noexcept {
  HMODULE library = ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without that flag the search still leaves out the current folder (SetDllDirectoryW at start).
  if (!library && ::GetLastError() == ERROR_INVALID_PARAMETER) library = ::LoadLibraryW(L"comctl32.dll");
  using InitFunction = void(WINAPI*)();
  const auto init = library ? reinterpret_cast<InitFunction>(reinterpret_cast<void (*)()>(
                                  ::GetProcAddress(library, "InitCommonControls")))
                            : nullptr;
  if (init) init();
  return UniqueModule(library);
}

SIZE FrameSizeFor(const Dpi& dpi) noexcept {
  RECT frame{0, 0, TwipsToPixels(kForm1.clientWidth, dpi.x), TwipsToPixels(kForm1.clientHeight, dpi.y)};
  ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

POINT CentredOnScreen(SIZE size) noexcept {
  return {(::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2, (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
}

// No icons in the class: they are loaded only for a window that is shown.
bool RegisterFormClass(HINSTANCE instance, WNDPROC procedure) noexcept {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = DLGWINDOWEXTRA;  // the dialog manager keeps its state there
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool Form1Window::Create(Form1& form) noexcept {
  form_ = &form;
  dpi_ = ScreenDpi();
  if (!RegisterFormClass(instance_, &Form1Window::Procedure)) return false;
  const SIZE size = FrameSizeFor(dpi_);
  const POINT position = CentredOnScreen(size);
  const std::wstring caption = Widen(kForm1.caption);
  // Created hidden: the load decides whether the window is ever shown.
  window_.reset(::CreateWindowExW(kFrameExStyle, kClassName, caption.c_str(), kFrameStyle, position.x,
                                  position.y, size.cx, size.cy, nullptr, nullptr, instance_, this));
  return static_cast<bool>(window_);
}

// What only a shown window needs, so that a start that launches at once pays for none of it: the common
// controls, the font, the icons and the sixteen controls.
void Form1Window::MakeControls() noexcept {
  made_ = true;
  commonControls_ = LoadCommonControls();
  font_ = CreateDialogFont(dpi_);
  bigIcon_ = LoadApplicationIcon(instance_, SM_CXICON, SM_CYICON);
  smallIcon_ = LoadApplicationIcon(instance_, SM_CXSMICON, SM_CYSMICON);
  ::SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  ::SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  for (const ControlId id : kZOrder) CreateControl(SpecOf(id));
}

void Form1Window::CreateControl(const ControlSpec& row) noexcept {
  const ControlStyle style = StyleOf(row.kind, row.tabOrder != kNoTabStop);
  const ControlState& state = controls_[IndexOf(row.id)];
  const std::wstring text = Widen(state.text);
  const HWND control = ::CreateWindowExW(
      style.exStyle, style.className, text.c_str(), style.style, TwipsToPixels(state.left, dpi_.x),
      TwipsToPixels(row.top, dpi_.y), TwipsToPixels(row.width, dpi_.x), TwipsToPixels(row.height, dpi_.y),
      window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlNumber(row.id))), instance_,
      nullptr);
  if (!control) return;
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (row.kind == ControlKind::AutoSizeLabel) FitToText(control, text);
  if (row.kind == ControlKind::TextBox) {
    // The edit's own limit also cuts what is pasted.
    ::SendMessageW(control, EM_LIMITTEXT, kText1MaxLength, 0);
    // The key filter stands in front of the edit's own procedure.
    ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProcedure_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form1Window::CountBoxProcedure)));
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

void Form1Window::Hide() {
  if (window_) ::ShowWindow(window_.get(), SW_HIDE);
}

void Form1Window::Show() {
  if (!window_) return;
  if (!made_) MakeControls();
  ::ShowWindow(window_.get(), SW_SHOWNORMAL);
  ::SetForegroundWindow(window_.get());
  // Through the dialog manager, which also makes the button the one that Enter presses.
  if (const HWND ok = Control(ControlId::Command1))
    ::SendMessageW(window_.get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
}

bool Form1Window::StartTimer(int intervalMs) {
  return window_ && intervalMs > 0 &&
         ::SetTimer(window_.get(), kTimer1, static_cast<UINT>(intervalMs), nullptr) != 0;
}

void Form1Window::End(ExitStatus status) {
  exitStatus_ = status;
  window_.reset();  // its last message posts the end of the message loop
}

void Form1Window::PumpEvents() {
  PumpPendingMessages(window_.get());
}

std::string Form1Window::Text(ControlId id) {
  const HWND control = Control(id);
  if (!control) return controls_[IndexOf(id)].text;  // not made yet: what it will show
  const int length = ::GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return Narrow(text);
}

void Form1Window::SetText(ControlId id, std::string_view text) {
  controls_[IndexOf(id)].text = text;
  const std::wstring wide = Widen(text);
  const HWND control = Control(id);
  if (control && ::SetWindowTextW(control, wide.c_str()) && SpecOf(id).kind == ControlKind::AutoSizeLabel)
    FitToText(control, wide);
}

int Form1Window::Left(ControlId id) {
  return controls_[IndexOf(id)].left;  // the controls never move by themselves
}

void Form1Window::SetLeft(ControlId id, int left) {
  controls_[IndexOf(id)].left = left;
  if (const HWND control = Control(id))
    ::SetWindowPos(control, nullptr, TwipsToPixels(left, dpi_.x), TwipsToPixels(SpecOf(id).top, dpi_.y), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form1Window::IsTicked(ControlId id) {
  const HWND control = Control(id);
  return control && ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
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
        form_->CarryOut(form_->OnOkClick());
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) form_->CarryOut(form_->OnTimerTick());
      return 0;
    case WM_DRAWITEM:
      DrawDot(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CLOSE:  // the dialog manager would turn it into Esc
      form_->CarryOut(form_->OnClose());
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

LRESULT CALLBACK Form1Window::CountBoxProcedure(HWND edit, UINT message, WPARAM wParam,
                                                LPARAM lParam) noexcept {
  const auto* self = reinterpret_cast<const Form1Window*>(::GetWindowLongPtrW(edit, GWLP_USERDATA));
  if (message == WM_CHAR) {
    // The key filter decides: drop the key, or deliver the code it returns to the edit itself
    // (Ctrl+V comes as code 22 and the edit pastes, cut to its limit).
    const int code = self->form_->OnCountBoxKey(static_cast<int>(wParam));
    if (code == kSwallowKey) return 0;
    wParam = static_cast<WPARAM>(code);
  }
  return ::CallWindowProcW(self->editProcedure_, edit, message, wParam, lParam);
}

}  // namespace brindle::win32
