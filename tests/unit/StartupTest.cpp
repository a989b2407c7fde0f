#include <gtest/gtest.h>

#include "FakePlatform.h"

namespace brindle {
namespace {

using fake::Launcher;

TEST(Startup, LanguageFromSettingOverSwitchOverLocale) {
  struct Case {
    const char *locale, *commandLine, *setting;
    bool english;
  };
  // clang-format off
  for (const Case& c : {Case{"Deutsch", "", "", false}, {"English", "", "", true}, {"", "", "", true},
       {"Deutsch (Schweiz)", "", "", false}, {"deutsch", "", "", true}, {"Deutsch", "-english", "", true},
       {"English", "-german", "", false}, {"Deutsch", "-english -german", "", true},
       {"English", "x-germanx", "", false}, {"English", "-GERMAN", "", true}, {"Deutsch", "", "English", true},
       {"Deutsch", "-english", "German", false}, {"English", "-german", "English", true},
       {"Deutsch", "", "english", false}, {"English", "", " German ", false}, {"Deutsch", "", "'English'", true}}) {
    // clang-format on
    Launcher launcher;
    launcher.localeName = c.locale;
    launcher.commandLine = c.commandLine;
    launcher.Set("Language", c.setting);
    launcher.Start();
    EXPECT_EQ(launcher.texts[ControlId::Label1], ControlTextOf(ControlId::Label1, c.english))
        << c.locale << "|" << c.commandLine << "|" << c.setting;
  }
}

TEST(Window, OkStoresTheCountAndTheChoiceThenLaunchesOnce) {
  struct Case {
    const char *box, *maxNr;
    int check;
  };
  // The box holds two characters at most, typed or pasted: its text rounded down, 5 outside 2..99.
  // clang-format off
  for (const Case& c : {Case{"2", "2", 0}, {"99", "99", 1}, {"1", "5", 0}, {"", "5", 1}, {"07", "7", 2}, {"00", "5", 0},
       {"-1", "5", 0}, {"9.", "9", 0}, {".9", "5", 0}, {"+9", "9", 0}, {" 9", "9", 0}, {"9 ", "9", 0}, {"9a", "5", 0}, {"-.", "5", 0}}) {
    // clang-format on
    Launcher launcher;
    launcher.Start();
    launcher.texts[ControlId::Text1] = c.box;
    launcher.check = c.check;
    std::string whileOpen;  // MaxNr, NoInfo, copies started, window visible while the hint is open
    launcher.whileMessageOpen = [&] {
      if (!whileOpen.empty()) return;  // the hint of a second launch: already a failure
      whileOpen = launcher.Get("MaxNr") + launcher.Get("NoInfo") +
                  std::to_string(launcher.started.size() + launcher.visible);
      launcher.Click();  // a click that arrives while the hint is open does nothing
    };
    launcher.Click();
    launcher.Click();  // nor does one queued behind the first
    EXPECT_EQ(whileOpen, c.check == 1 ? c.maxNr + std::string("00") : "") << c.box;
    EXPECT_EQ(launcher.Get("MaxNr") + launcher.Get("NoInfo"),
              c.maxNr + std::string(c.check == 1 ? "1" : "0"));
    EXPECT_EQ(launcher.started, std::vector{launcher.In("ICQ.exe1")});
    EXPECT_TRUE(!launcher.visible && launcher.tickMs == 2000);
  }
}

}  // namespace
}  // namespace brindle
