#pragma once
// The windows of a program under test, read and worked as a user would: message boxes answered with
// their OK button, the information window found by its caption and closed, its controls read by
// control id and typed into or clicked.
//
// A Window is a plain, copyable reference to a window of another process (it owns nothing). Texts
// are UTF-8 (read as UTF-16 from the window); geometry is in pixels.

#include <chrono>
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

}  // namespace brindle::e2e
