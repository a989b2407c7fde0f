// The information window and the keyboard: where the focus is when it opens, where Tab and Shift+Tab
// take it, what Enter and Esc do, and the count box's first state. Keys go to the control that has
// the focus, through the launcher's own message loop, as the keyboard would deliver them.
//
// The focus lives in the active window. Tests run side by side, and a window that another one opens
// meanwhile takes the activation, and with it the focus, from ours; a key handled then says nothing
// about the launcher. So each scenario watches the foreground window and, when its window lost it, is
// run again from the start in a fresh folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "InformationWindow.h"

namespace brindle::e2e {
namespace {

using namespace control;
using Names = std::vector<std::string>;

constexpr int kAttempts = 6;

class WindowKeyboardTest : public WindowScenario {
 protected:
  // Opens the window and runs the scenario until it says that what it saw counts: as a rule, when
  // the window kept the activation from the moment it had it until the scenario was done. After the
  // last attempt the test goes on to judge what that one saw.
  void RunUndisturbed(const std::function<bool(const ForegroundWatch&)>& scenario) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
      if (attempt > 1) {
        std::cout << "run " << attempt - 1 << ": the window lost the activation; starting over\n";
        EndLauncher();
      }
      if (!OpenActive("")) {
        if (HasFatalFailure()) return;
        continue;
      }
      const ForegroundWatch watch(form());
      if (scenario(watch)) return;
    }
    ADD_FAILURE() << "in " << kAttempts << " runs the window never kept the activation and the focus "
                  << "until the end; what the last run saw follows";
  }

  // Undisturbed, a control of the window has the focus all the time; "control 0" is none.
  static bool Undisturbed(const ForegroundWatch& watch, const Names& walk) {
    return !watch.Lost() && std::find(walk.begin(), walk.end(), ControlName(0)) == walk.end();
  }

  // Tab three times: the controls the focus went to.
  Names TabRound() const {
    Names walk;
    for (int step = 0; step < 3; ++step) walk.push_back(ControlName(PressTab()));
    return walk;
  }

  // The window is still there and nothing has been stored or launched.
  void ExpectStillWaitingForTheUser() {
    EXPECT_TRUE(form().Visible()) << "the window went away";
    EXPECT_TRUE(launcher().Running()) << "Tavu.exe ended";
    EXPECT_FALSE(FindMessageBox(launcher().pid())) << "a message box came up";
    EXPECT_EQ(folder().Setting("MaxNr"), std::nullopt) << "the count was stored";
    EXPECT_EQ(folder().Setting("NoInfo"), "0");
    EXPECT_TRUE(folder().StandinLog().empty()) << "the messenger was started";
  }
};

TEST_F(WindowKeyboardTest, OpensWithFocusOnOkFiveInTheBoxAndTheBoxClear) {
  std::string focus;
  RunUndisturbed([&](const ForegroundWatch& watch) {
    focus = ControlName(FocusedId());
    return Undisturbed(watch, {focus});
  });
  ASSERT_FALSE(HasFatalFailure());

  EXPECT_EQ(focus, "Command1") << "the focus when the window opens";
  const std::optional<Window> box = Control(kText1);
  const std::optional<Window> check = Control(kCheck1);
  ASSERT_TRUE(box && check);
  EXPECT_EQ(box->Text(), "5");
  EXPECT_EQ(TextLimit(*box), 2) << "the count box holds at most two characters";
  EXPECT_EQ(check->CheckState(), 0) << "the do-not-show-again box starts clear";
}

TEST_F(WindowKeyboardTest, TabGoesFromOkToTheCountBoxToTheCheckBoxAndBack) {
  Names walk;
  RunUndisturbed([&](const ForegroundWatch& watch) {
    walk = {ControlName(FocusedId())};
    for (const std::string& next : TabRound()) walk.push_back(next);
    return Undisturbed(watch, walk);
  });
  ASSERT_FALSE(HasFatalFailure());

  EXPECT_EQ(walk, (Names{"Command1", "Text1", "Check1", "Command1"}));
}

TEST_F(WindowKeyboardTest, ShiftTabGoesTheOtherWay) {
  Names walk;
  bool held = false;
  RunUndisturbed([&](const ForegroundWatch& watch) {
    walk = {ControlName(FocusedId())};
    const HeldKeys shift(form(), {keys::kShift});
    held = shift.held();
    for (const std::string& next : TabRound()) walk.push_back(next);
    return Undisturbed(watch, walk);
  });
  ASSERT_FALSE(HasFatalFailure());

  ASSERT_TRUE(held) << "could not hold Shift down in the window's thread";
  EXPECT_EQ(walk, (Names{"Command1", "Check1", "Text1", "Command1"}));
}

TEST_F(WindowKeyboardTest, EnterOnTheFocusedOkButtonPressesIt) {
  std::string focus;
  bool hidden = false;
  RunUndisturbed([&](const ForegroundWatch& watch) {
    focus = ControlName(FocusedId());
    const auto gone = [&] { return !form().Exists() || !form().Visible(); };
    if (!PressKey(keys::kEnter)) return false;
    // Hiding takes the activation away too; a window taken away by another test's window stays.
    WaitUntil(kKeyTimeout, [&] { return gone() || watch.Lost(); });
    hidden = WaitUntil(kKeyTimeout, gone);
    // Only a press hides the window; a window that stays counts only when nothing took its
    // activation meanwhile.
    return hidden || Undisturbed(watch, {focus});
  });
  ASSERT_FALSE(HasFatalFailure());

  ASSERT_EQ(focus, "Command1");
  ASSERT_TRUE(hidden) << "Enter on the focused OK button did not press it";
  const RunResult run = WatchToEnd();
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(folder().Setting("MaxNr"), "5");
  EXPECT_EQ(folder().Setting("NoInfo"), "0");
  EXPECT_TRUE(WaitForStandinStarts(folder().app(), 1, std::chrono::seconds(30))) << "nothing was launched";
  EXPECT_EQ(folder().Setting("LastNr"), "1");
}

TEST_F(WindowKeyboardTest, EnterInTheCountBoxDoesNothing) {
  Names walk;
  RunUndisturbed([&](const ForegroundWatch& watch) {
    walk = {ControlName(PressTab())};
    PressKey(keys::kEnter);
    // Keys are handled in order: once the Tab after it has moved the focus, the Enter has been handled.
    walk.push_back(ControlName(PressTab()));
    return Undisturbed(watch, walk);
  });
  ASSERT_FALSE(HasFatalFailure());

  EXPECT_EQ(walk, (Names{"Text1", "Check1"}));
  ExpectStillWaitingForTheUser();
  const std::optional<Window> box = Control(kText1);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->Text(), "5");
}

TEST_F(WindowKeyboardTest, EscapeDoesNothingWhereverTheFocusIs) {
  Names walk;
  RunUndisturbed([&](const ForegroundWatch& watch) {
    walk.clear();
    for (int step = 0; step < 3; ++step) {
      walk.push_back(ControlName(FocusedId()));
      PressKey(keys::kEscape);
      PressTab();
    }
    walk.push_back(ControlName(FocusedId()));
    return Undisturbed(watch, walk);
  });
  ASSERT_FALSE(HasFatalFailure());

  EXPECT_EQ(walk, (Names{"Command1", "Text1", "Check1", "Command1"}));
  ExpectStillWaitingForTheUser();
}

}  // namespace
}  // namespace brindle::e2e
