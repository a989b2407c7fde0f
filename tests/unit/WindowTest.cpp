#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "window/CountEntry.h"
#include "window/SwitchToEnglish.h"

namespace brindle {
namespace {

using fake::Launcher;

TEST(Window, SwitchToEnglishTranslatesAndMovesTheCountBoxAndItsHint) {
  fake::FakePlatform platform;
  SwitchToEnglish(platform);
  for (const auto& row : kControls) {
    EXPECT_EQ(platform.texts[row.id],
              row.id == ControlId::Text1 ? "5" : ControlTextOf(row.id, true).value_or(""));
    if (row.id != ControlId::Text1 && row.id != ControlId::Label8) {
      EXPECT_EQ(platform.lefts[row.id], row.left);
    }
  }
  EXPECT_EQ(platform.lefts[ControlId::Text1], 3720);
  EXPECT_EQ(platform.lefts[ControlId::Label8], 4400);
}

TEST(Window, CountBoxTakesDigitsBackspaceAndPasteOnly) {
  Launcher launcher;
  for (const int code : std::initializer_list<int>{'0', '5', '9', 8, 22})
    EXPECT_EQ(launcher.form.OnCountBoxKey(code), code) << "code " << code;
  for (const int code :
       std::initializer_list<int>{'/', ':', 'a', '-', '.', ',', ' ', 3, 13, 24, 27, 7, 9, 0x660, 0xFF10, -1})
    EXPECT_EQ(launcher.form.OnCountBoxKey(code), kSwallowKey) << "code " << code;
}

TEST(Window, CountIsTheBoxTextRoundedDownAndKeptTo2To99) {
  struct Case {
    const char* text;
    std::optional<std::int16_t> parsed;
    std::int16_t count;
  };
  const std::nullopt_t none = std::nullopt;
  // clang-format off
  for (const Case& c : {Case{"2", 2, 2}, {"99", 99, 99}, {"07", 7, 7}, {"1", 1, 5}, {"00", 0, 5}, {"", none, 5},
       {"-1", -1, 5}, {"ab", none, 5}, {"5a", none, 5}, {"2.9", 2, 2}, {"1.9", 1, 5}, {"-.5", -1, 5},
       {"-2.5", -3, 5}, {" 9", 9, 9}, {"+9", 9, 9}, {".", none, 5}, {"32767", 32767, 5}, {"32768", none, 5},
       {"-32768", -32768, 5}, {"100", 100, 5}, {"1e1", none, 5}, {"1,5", none, 5}}) {
    // clang-format on
    EXPECT_EQ(ParseCount(c.text), c.parsed) << c.text;
    EXPECT_EQ(CountFromText(c.text), c.count) << c.text;
  }
}

TEST(Window, OkStoresTheCountAndTheChoiceThenLaunches) {
  struct Case {
    const char *box, *maxNr;
    int check;
  };
  for (const Case& c : {Case{"2", "2", 0}, {"99", "99", 1}, {"1", "5", 0}, {"", "5", 1}, {"5", "5", 2}}) {
    Launcher launcher;
    launcher.Start().platform.texts[ControlId::Text1] = c.box;
    launcher.platform.check = c.check;
    launcher.form.OnOkClick();
    EXPECT_EQ(launcher.platform.Get("MaxNr"), c.maxNr) << c.box;
    EXPECT_EQ(launcher.platform.Get("NoInfo"), c.check == 1 ? "1" : "0") << c.box;
    EXPECT_EQ(launcher.platform.messages.size(), c.check == 1 ? 1u : 0u) << c.box;
    EXPECT_EQ(launcher.platform.started, std::vector{launcher.platform.In("ICQ.exe1")});
    EXPECT_FALSE(launcher.platform.visible);
  }
}

TEST(Window, HintComesAfterMaxNrAndBeforeNoInfoAndTheLaunch) {
  for (const bool english : {false, true}) {
    Launcher launcher;
    launcher.platform.commandLine = english ? "-english" : "";
    launcher.Start().platform.check = 1;
    std::string whileOpen;  // MaxNr, NoInfo, programs started, window visible
    launcher.platform.whileMessageOpen = [&] {
      whileOpen = launcher.platform.Get("MaxNr") + launcher.platform.Get("NoInfo") +
                  std::to_string(launcher.platform.started.size()) +
                  std::to_string(launcher.platform.visible);
    };
    launcher.form.OnOkClick();
    launcher.form.OnOkClick();  // a second click queued behind the first does nothing
    EXPECT_EQ(whileOpen, "5000");
    EXPECT_EQ(launcher.platform.messages,
              std::vector{fake::Box("Information", MessageTextOf(MessageId::HowToSeeWindowAgain, english),
                                    MessageIcon::Information)});
    EXPECT_EQ(launcher.platform.Get("NoInfo"), "1");
    EXPECT_EQ(launcher.platform.started.size(), 1u);
  }
}

}  // namespace
}  // namespace brindle
