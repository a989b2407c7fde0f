// The count box and the OK button, worked as a user would: typing and pasting into the box, ticking
// the do-not-show-again box, pressing OK or closing the window; checked by what the box shows, the
// hint message, what tavu.ini holds (and when), and which copy of the messenger starts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InformationWindow.h"

namespace brindle::e2e {
namespace {

using namespace control;
using Names = std::vector<std::string>;

constexpr char kCtrlC = '\x03';
constexpr char kCtrlX = '\x18';

// The copies the messenger was started from in the launcher folder, in order ("ICQ.exe1, ICQ.exe2"),
// or "(none)"; waits a while for the first start.
std::string StartedCopy(const TestFolder& folder) {
  WaitForStandinStarts(folder.app(), 1, std::chrono::seconds(30));
  const std::vector<StandinEvent> starts = EventsOfKind(folder.StandinLog(), "start");
  if (starts.empty()) return "(none)";
  Names copies;
  for (const StandinEvent& start : starts)
    copies.push_back(start.module.substr(start.module.find_last_of('\\') + 1));
  std::string joined;
  for (const std::string& copy : copies) joined += (joined.empty() ? "" : ", ") + copy;
  return joined;
}

class CountEntryTest : public WindowScenario {
 protected:
  // Presses OK with a (posted) click and watches the launcher to its end.
  RunResult PressOkAndWatch() {
    const std::optional<Window> ok = Control(kCommand1);
    if (!ok) return {};
    EXPECT_TRUE(PostClick(*ok));
    EXPECT_TRUE(WaitUntilHidden()) << "OK did not hide the window";
    return WatchToEnd();
  }

  // Types characters into the count box.
  void Type(std::string_view text) const {
    const std::optional<Window> box = Control(kText1);
    ASSERT_TRUE(box);
    ASSERT_TRUE(box->PostChars(text));
  }
};

// Only digits and Backspace reach the box; everything else typed there is swallowed.
TEST_F(CountEntryTest, TypingTakesDigitsAndBackspaceOnly) {
  OpenWindow("");
  ASSERT_FALSE(HasFatalFailure());
  const std::optional<Window> box = Control(kText1);
  ASSERT_TRUE(box);
  ASSERT_TRUE(SelectAllOfTheBox()) << "could not select the \"5\" with Shift+Home";

  // Any of these that got through would replace or cut the selected "5". The digit after them shows
  // when they have all been handled.
  ASSERT_TRUE(box->PostChars(std::string{'a', 'Z', '-', '.', ',', '+', ' ', kCtrlC, kCtrlX}));
  ASSERT_TRUE(box->PostKey(keys::kEnd));
  ASSERT_TRUE(box->PostChars("7"));
  EXPECT_EQ(BoxTextAfterChange("5"), "57");

  // A third digit is refused by the box's limit; the Backspace behind it then leaves "5".
  ASSERT_TRUE(box->PostChars("8"));
  ASSERT_TRUE(box->PostKey(keys::kBackspace));
  EXPECT_EQ(BoxTextAfterChange("57"), "5");
}

enum class Before {
  Emptied,   // the "5" deleted with Backspace
  Selected,  // the "5" selected, so that what comes replaces it
  AtEnd,     // the caret after the "5"
};

struct CountCase {
  const char* name;
  Before before;
  const char* typed;   // then typed; nullptr: nothing
  const char* pasted;  // then Ctrl+V with this on the clipboard; nullptr: no paste
  const char* box;     // what the box then shows
  const char* maxNr;   // what OK stores
};

void PrintTo(const CountCase& count, std::ostream* out) {
  *out << count.name;
}

class CountToMaxNrTest : public CountEntryTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountToMaxNrTest, OkStoresTheCountAndLaunches) {
  const CountCase& count = GetParam();
  OpenWindow("");
  ASSERT_FALSE(HasFatalFailure());
  const std::optional<Window> box = Control(kText1);
  ASSERT_TRUE(box);

  switch (count.before) {
    case Before::Emptied:
      ASSERT_TRUE(EmptyTheBox()) << "Backspace left \"" << box->Text() << "\"";
      break;
    case Before::Selected:
      ASSERT_TRUE(SelectAllOfTheBox()) << "could not select the \"5\" with Shift+Home";
      break;
    case Before::AtEnd:
      ASSERT_TRUE(box->PostKey(keys::kEnd));
      break;
  }
  if (count.typed) Type(count.typed);
  if (count.pasted) {
    EXPECT_EQ(PasteIntoBox(count.pasted), count.box) << "after pasting \"" << count.pasted << "\"";
  }
  ASSERT_EQ(WaitForBoxText(count.box), count.box);

  const RunResult run = PressOkAndWatch();

  EXPECT_TRUE(run.messages.empty()) << "a message without the do-not-show-again box ticked";
  EXPECT_EQ(folder().Setting("MaxNr"), count.maxNr);
  EXPECT_EQ(folder().Setting("NoInfo"), "0");
  EXPECT_EQ(StartedCopy(folder()), "ICQ.exe1");
}

INSTANTIATE_TEST_SUITE_P(
    Box, CountToMaxNrTest,
    ::testing::Values(CountCase{"Two", Before::Emptied, "2", nullptr, "2", "2"},
                      CountCase{"NinetyNine", Before::Emptied, "99", nullptr, "99", "99"},
                      CountCase{"LeadingZero", Before::Emptied, "07", nullptr, "07", "7"},
                      CountCase{"OneIsTooFew", Before::Selected, "1", nullptr, "1", "5"},
                      CountCase{"DoubleZero", Before::Emptied, "00", nullptr, "00", "5"},
                      CountCase{"Empty", Before::Emptied, nullptr, nullptr, "", "5"},
                      CountCase{"PasteIntoEmptyBoxCutToTwo", Before::Emptied, nullptr, "123", "12", "12"},
                      CountCase{"PasteOverAllTextCutToTwo", Before::Selected, nullptr, "123", "12", "12"},
                      CountCase{"PasteAfterFiveAddsOneCharacter", Before::AtEnd, nullptr, "34", "53", "53"},
                      CountCase{"PastedMinusOne", Before::Emptied, nullptr, "-1", "-1", "5"},
                      CountCase{"PastedLetters", Before::Emptied, nullptr, "ab", "ab", "5"}),
    [](const ::testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

struct HintCase {
  const char* name;
  const char* arguments;
  const char* text;
};

void PrintTo(const HintCase& hint, std::ostream* out) {
  *out << hint.name;
}

class DoNotShowAgainTest : public CountEntryTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(DoNotShowAgainTest, HintComesAfterMaxNrAndBeforeNoInfoAndTheLaunch) {
  OpenWindow(GetParam().arguments);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(EmptyTheBox());
  Type("3");
  ASSERT_EQ(WaitForBoxText("3"), "3");
  const std::optional<Window> check = Control(kCheck1);
  const std::optional<Window> ok = Control(kCommand1);
  ASSERT_TRUE(check && ok);
  ASSERT_TRUE(check->Click());
  ASSERT_EQ(check->CheckState(), 1) << "clicking the check box did not tick it";

  ASSERT_TRUE(PostClick(*ok));
  const std::optional<MessageBoxView> hint = WaitForMessageBox(launcher().pid(), kWindowTimeout);
  ASSERT_TRUE(hint) << "no hint after OK with the box ticked";
  EXPECT_EQ(hint->title, "Information");
  EXPECT_EQ(hint->text, GetParam().text);
  // While the hint is open: the window is gone and the count stored, but not yet the choice, and
  // nothing is launched.
  EXPECT_FALSE(form().Visible());
  EXPECT_EQ(folder().Setting("MaxNr"), "3");
  EXPECT_EQ(folder().Setting("NoInfo"), "0");
  EXPECT_TRUE(folder().StandinLog().empty()) << "the messenger started before the hint was answered";

  ASSERT_TRUE(PressOk(*hint));
  const RunResult run = WatchToEnd();
  EXPECT_TRUE(run.messages.empty()) << "more than the one hint";
  EXPECT_EQ(folder().Setting("NoInfo"), "1");
  EXPECT_EQ(folder().Setting("MaxNr"), "3");
  EXPECT_EQ(StartedCopy(folder()), "ICQ.exe1");

  // The next start, without "-info", shows no window and launches at once.
  const RunResult next = Run();
  EXPECT_FALSE(next.windowShown);
  EXPECT_TRUE(next.messages.empty());
  EXPECT_TRUE(WaitForStandinStarts(folder().app(), 2, std::chrono::seconds(30)));
  EXPECT_EQ(StartedCopy(folder()), "ICQ.exe1, ICQ.exe2");
  EXPECT_EQ(folder().Setting("NoInfo"), "1");
}

INSTANTIATE_TEST_SUITE_P(
    Language, DoNotShowAgainTest,
    ::testing::Values(
        HintCase{"German", "-german",
                 "Um dieses Fenster wieder anzeigen zu lassen, rufen Sie den Brindle mit dem Parameter "
                 "'-info' auf."},
        HintCase{"English", "-english",
                 "To see this window again start Brindle with the parameter '-info'."}),
    [](const ::testing::TestParamInfo<HintCase>& info) { return std::string(info.param.name); });

TEST_F(CountEntryTest, BoxTickedAndClearedAgainGivesNoHint) {
  OpenWindow("");
  ASSERT_FALSE(HasFatalFailure());
  const std::optional<Window> check = Control(kCheck1);
  ASSERT_TRUE(check);
  ASSERT_TRUE(check->Click());
  ASSERT_TRUE(check->Click());
  ASSERT_EQ(check->CheckState(), 0);

  const RunResult run = PressOkAndWatch();

  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(folder().Setting("NoInfo"), "0");
  EXPECT_EQ(folder().Setting("MaxNr"), "5");
  EXPECT_EQ(StartedCopy(folder()), "ICQ.exe1");
}

enum class CloseBy { CloseButton, AltF4 };

struct CloseCase {
  const char* name;
  CloseBy by;
};

void PrintTo(const CloseCase& close, std::ostream* out) {
  *out << close.name;
}

class ClosingTest : public CountEntryTest, public ::testing::WithParamInterface<CloseCase> {};

// Even with a count typed and the box ticked, closing the window stores nothing and launches nothing.
TEST_P(ClosingTest, StoresNothingAndLaunchesNothing) {
  OpenWindow("");
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(EmptyTheBox());
  Type("9");
  ASSERT_EQ(WaitForBoxText("9"), "9");
  const std::optional<Window> check = Control(kCheck1);
  ASSERT_TRUE(check);
  ASSERT_TRUE(check->Click());
  ASSERT_EQ(check->CheckState(), 1);

  switch (GetParam().by) {
    case CloseBy::CloseButton:
      ASSERT_TRUE(form().Close());
      break;
    case CloseBy::AltF4:
      // To the check box, which took the focus when it was clicked.
      ASSERT_TRUE(PostAltKey(*check, keys::kF4));
      break;
  }

  EXPECT_TRUE(launcher().WaitForExit(kWindowTimeout)) << "closing the window did not end Tavu.exe";
  EXPECT_EQ(folder().Setting("NoInfo"), "0");
  EXPECT_EQ(folder().Setting("MaxNr"), std::nullopt);
  EXPECT_EQ(folder().Setting("LastNr"), std::nullopt);
  EXPECT_TRUE(folder().StandinLog().empty()) << "the messenger was started";
  EXPECT_EQ(folder().Files(), (Names{"ICQ.exe", "Tavu.exe", "standin.cfg", "tavu.ini"}));
}

INSTANTIATE_TEST_SUITE_P(Window, ClosingTest,
                         ::testing::Values(CloseCase{"CloseButton", CloseBy::CloseButton},
                                           CloseCase{"AltF4", CloseBy::AltF4}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace brindle::e2e
