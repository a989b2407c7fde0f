#pragma once
// What the tests of the information window share: its controls by id, and a scenario that opens the
// window in a fresh launcher folder and works it as a user would.
//
// Keys are posted to a control, the way the keyboard delivers them to the one that has the focus.
// Tests that are about the focus itself send them to the focused control; the others send them
// straight to the count box, since the focus goes wherever another test's window takes it.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "Scenario.h"

namespace brindle::e2e {

// Control ids as the program numbers them: 100 plus the control's place in the design table.
namespace control {
inline constexpr int kLabel2 = 100;
inline constexpr int kLabel3 = 101;
inline constexpr int kPoint0 = 102;
inline constexpr int kLabel4 = 103;
inline constexpr int kPoint1 = 104;
inline constexpr int kLabel5 = 105;
inline constexpr int kPoint2 = 106;
inline constexpr int kLabel6 = 107;
inline constexpr int kPoint3 = 108;
inline constexpr int kLabel7 = 109;
inline constexpr int kPoint4 = 110;
inline constexpr int kLabel1 = 111;
inline constexpr int kText1 = 112;
inline constexpr int kLabel8 = 113;
inline constexpr int kCheck1 = 114;
inline constexpr int kCommand1 = 115;
}  // namespace control

// How long a posted key may take to show its effect on a busy machine.
inline constexpr std::chrono::seconds kKeyTimeout{20};

// The name of a control id for messages, e.g. "Text1".
std::string ControlName(int id);

class WindowScenario : public Scenario {
 protected:
  // A fresh launcher folder (no tavu.ini), Tavu.exe started with the arguments, and its window
  // visible. Fails the test (check HasFatalFailure) when the window does not come.
  void OpenWindow(std::string_view arguments);
  // OpenWindow, then waits until the window is the active one with a focused control; false when it
  // did not get there (another program's window took the activation) or the window did not come.
  bool OpenActive(std::string_view arguments);
  // Ends the launcher (if it still runs) so that the test can start over in a fresh folder.
  void EndLauncher();

  Process& launcher() { return *launcher_; }
  const Window& form() const { return *form_; }
  // A control of the window; fails the test when it is missing.
  std::optional<Window> Control(int id) const;

  // The control id that has the keyboard focus, or 0.
  int FocusedId() const;
  // A key pressed on whatever has the focus, as the keyboard would deliver it.
  bool PressKey(int virtualKey) const;
  // Tab, then waits until the focus has left the control that had it; the id it went to, or 0.
  int PressTab() const;

  // The count box worked without the focus: keys posted to the box itself, as they reach it once the
  // user has clicked into it. Emptied: End, then Backspace, until the box is empty. Selected: End,
  // then Shift+Home, until its whole text is selected. True once it is so.
  bool EmptyTheBox() const;
  bool SelectAllOfTheBox() const;
  // Waits until the count box's text is no longer `from`, then returns it (or `from` at the timeout).
  std::string BoxTextAfterChange(std::string_view from) const;
  // Waits until the count box shows the text; the text it shows then.
  std::string WaitForBoxText(std::string_view text) const;
  // Ctrl+V in the count box with the text on the clipboard; the box's text once it has changed.
  std::string PasteIntoBox(std::string_view text) const;

  // Waits until the window has been hidden (the OK button's first step); true when it has.
  bool WaitUntilHidden() const;
  // Watches the launcher, started by OpenWindow, to its end (answering message boxes).
  RunResult WatchToEnd();

  // A window still open at the end of a test is closed, and the launcher given time to end.
  void TearDown() override;

 private:
  std::optional<Process> launcher_;
  std::optional<Window> form_;
};

}  // namespace brindle::e2e
