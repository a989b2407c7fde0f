#pragma once
// The windows of a program under test, read and worked as a user would: message boxes answered with
// their OK button, the information window found by its caption and closed, its controls read by
// control id and typed into or clicked.
//
// A Window is a plain, copyable reference to a window of another process (it owns nothing). Texts
// are UTF-8 (read as UTF-16 from the window); geometry is in pixels.

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::e2e {

inline constexpr std::string_view kForm1Caption = "Brindle v.1.2";
inline constexpr std::string_view kMessageBoxClass = "#32770";

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

class Window {
 public:
  explicit Window(void* handle) : handle_(handle) {}
  void* handle() const { return handle_; }

  bool Exists() const;
  bool Visible() const;
  bool Enabled() const;
  unsigned long ProcessId() const;
  std::string ClassName() const;
  int ControlId() const;
  unsigned long Style() const;          // GWL_STYLE
  unsigned long ExtendedStyle() const;  // GWL_EXSTYLE

  // The window's text (a caption, a label's text, the content of a text box), asked of the window
  // itself with WM_GETTEXT.
  std::string Text() const;

  // A child (at any depth) by its control id, and the direct children in z-order.
  std::optional<Window> Child(int controlId) const;
  std::vector<Window> Children() const;

  // The window's place within its parent's client area; for a top-level window, on the screen.
  PixelRect RectInParent() const;
  PixelRect ScreenRect() const;
  PixelSize ClientSize() const;

  // The control that has the keyboard focus in this window's thread, if any.
  std::optional<Window> FocusedControl() const;

  // Input, posted to this window's message queue so it passes the program's own message loop:
  // a key press (WM_KEYDOWN and WM_KEYUP, turned into characters there by TranslateMessage), and
  // characters (WM_CHAR for each UTF-16 unit).
  bool PostKey(int virtualKey) const;
  bool PostChars(std::string_view utf8) const;
  // A click on a button (BM_CLICK), waiting until the program has handled it.
  bool Click() const;
  // What the close button of the caption bar does (WM_SYSCOMMAND SC_CLOSE).
  bool Close() const;
  // BM_GETCHECK of a check box: 0 clear, 1 ticked, 2 greyed; nullopt when the window did not answer.
  std::optional<int> CheckState() const;

 private:
  void* handle_;
};

// Top-level windows of a process, in z-order (hidden ones included).
std::vector<Window> TopLevelWindows(unsigned long pid);

// Waits for a visible top-level window of the process with the caption; nullopt at the timeout.
std::optional<Window> WaitForWindow(unsigned long pid, std::string_view caption,
                                    std::chrono::milliseconds timeout);

// A message box of the program (a visible top-level dialog of class "#32770" of its process).
struct MessageBoxView {
  Window window;
  std::string title;
  std::string text;  // its static text
};

// The message box now shown by the process, if any.
std::optional<MessageBoxView> FindMessageBox(unsigned long pid);
std::optional<MessageBoxView> WaitForMessageBox(unsigned long pid, std::chrono::milliseconds timeout);
// Presses its OK button and waits until the box has gone; true when it has.
bool PressOk(const MessageBoxView& box);

// --- The information window's layout, keyboard and count box ---------------------------------------

// Virtual-key codes of the keys the tests press, as Windows numbers them.
namespace keys {
inline constexpr int kBackspace = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kEnter = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kAlt = 0x12;
inline constexpr int kEscape = 0x1B;
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kF4 = 0x73;
}  // namespace keys

// Calls the condition until it holds or the timeout has passed; true when it held.
bool WaitUntil(std::chrono::milliseconds timeout, const std::function<bool()>& condition);

// The window's text as UTF-16, unit for unit as the window holds it (WM_GETTEXT).
std::wstring WideText(const Window& window);

// The frame of a top-level window, from its style bits.
struct FrameStyle {
  bool caption = false;      // WS_CAPTION: title bar with a thin border
  bool sizingFrame = false;  // WS_THICKFRAME: the user can drag its edges
  bool maximizeBox = false;  // WS_MAXIMIZEBOX
  bool systemMenu = false;   // WS_SYSMENU, which brings the close button
};
FrameStyle FrameOf(const Window& window);

// The primary screen as this test's own process sees it (the same display as the program's).
PixelSize ScreenSize();
int ScreenDpi();  // LOGPIXELSX

// One line of text as GDI lays it out in a font (face name, size in points at the screen's dpi):
// width from GetTextExtentPoint32W, height from the font's tmHeight, and the face GDI actually chose.
struct TextMeasurement {
  int width = 0;
  int height = 0;
  std::string face;
};
std::optional<TextMeasurement> MeasureText(std::wstring_view text, std::wstring_view face, int points);
// The same text wrapped at word boundaries into a width, as a static label draws it: the width and
// height of all its lines.
std::optional<TextMeasurement> MeasureWrappedText(std::wstring_view text, std::wstring_view face, int points,
                                                  int width);

// EM_GETLIMITTEXT of an edit control.
std::optional<int> TextLimit(const Window& edit);

// A click on a button posted (BM_CLICK) rather than sent: returns at once, for a click whose
// handling goes on for long (a modal message box, a launch).
bool PostClick(const Window& button);

// A key pressed together with Alt, as the keyboard delivers it to the focused control:
// WM_SYSKEYDOWN and WM_SYSKEYUP with the context code (Alt held) set.
bool PostAltKey(const Window& target, int virtualKey);

// Keys held down (e.g. keys::kShift, keys::kControl) in the keyboard state of the thread that owns
// the window, for as long as the object lives, so that keys posted meanwhile are read with them:
// the dialog manager's Shift+Tab, TranslateMessage's Ctrl+V. This thread shares the target's input
// state (AttachThreadInput) to set it; the destructor restores the state and detaches again.
class HeldKeys {
 public:
  HeldKeys(const Window& window, std::initializer_list<int> virtualKeys);
  ~HeldKeys();
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

  bool held() const { return held_; }

 private:
  unsigned long ownThread_ = 0;
  unsigned long targetThread_ = 0;
  bool attached_ = false;
  bool held_ = false;
  std::vector<unsigned char> saved_;
};

// The window that has the activation on the desktop (GetForegroundWindow), if any.
std::optional<Window> ForegroundWindow();

// Keys reach the control that has the focus, and only the active window has one: a window that
// another program opens takes the activation and the focus away. The watch looks every millisecond or
// so, from a thread of its own, while it lives: the window must be the foreground window, the active
// window of its thread, and some control of its thread must have the focus.
class ForegroundWatch {
 public:
  explicit ForegroundWatch(const Window& window);
  ~ForegroundWatch();
  ForegroundWatch(const ForegroundWatch&) = delete;
  ForegroundWatch& operator=(const ForegroundWatch&) = delete;

  // True once it was seen otherwise.
  bool Lost() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// EM_GETSEL of an edit control: the selected characters [start, end); start == end is the caret.
struct TextSelection {
  int start = 0;
  int end = 0;
  friend bool operator==(const TextSelection&, const TextSelection&) = default;
};
std::optional<TextSelection> SelectionOf(const Window& edit);

// The clipboard is one for the whole session, shared by tests that run at the same time. The lock
// (a named mutex) keeps another test from putting its text there between Put and the paste; hold it
// until the paste has been seen.
class ClipboardLock {
 public:
  ClipboardLock();
  ~ClipboardLock();
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;

  bool locked() const { return mutex_ != nullptr && locked_; }
  // Replaces the clipboard's content with the text (CF_UNICODETEXT); true when it is there.
  bool Put(std::string_view utf8);

 private:
  void* mutex_ = nullptr;  // HANDLE
  void* owner_ = nullptr;  // HWND: a message-only window that owns the clipboard's content
  bool locked_ = false;
};

}  // namespace brindle::e2e
