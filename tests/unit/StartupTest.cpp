#include <gtest/gtest.h>

#include <tuple>

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
       {"English", "x-germanx", "", false}, {"English", "-GERMAN", "", true},
       {"Deutsch", "", "English", true}, {"Deutsch", "-english", "German", false},
       {"English", "-german", "English", true}, {"Deutsch", "", "english", false},
       {"English", "", " German ", false}, {"Deutsch", "", "'English'", true}}) {
    // clang-format on
    Launcher launcher;
    launcher.localeName = c.locale;
    launcher.commandLine = c.commandLine;
    launcher.Set("Language", c.setting);
    launcher.Start();
    EXPECT_EQ(launcher.Text(ControlId::Label1), ControlTextOf(ControlId::Label1, c.english))
        << c.locale << "|" << c.commandLine << "|" << c.setting;
    // Box and range hint move left together for the shorter English caption.
    EXPECT_EQ(launcher.Left(ControlId::Text1) + launcher.Left(ControlId::Label8), c.english ? 8120 : 8680);
  }
}

TEST(Window, OkStoresTheCountAndTheChoiceThenLaunchesOnce) {
  struct Case {
    const char *box, *maxNr;
    bool ticked;
  };
  // The text rounded down, 5 outside 2..99 (edges 1|2, 99|100); a paste can bring a sign or a fraction.
  // clang-format off
  for (const Case& c : {Case{"2", "2", false}, {"99", "99", true}, {"1", "5", false}, {"100", "5", false},
       {"", "5", true}, {"07", "7", false}, {"00", "5", false}, {"-1", "5", false}, {"-2", "5", false},
       {"-9", "5", false}, {"2.", "2", false}, {"2.9", "2", false}, {"1.9", "5", false},
       {"99.9", "99", false}, {".9", "5", false}, {"+9", "9", false}, {" 9", "9", false}, {"9 ", "9", false},
       {"9a", "5", false}, {"-.", "5", false}}) {
    // clang-format on
    Launcher launcher;
    launcher.Start();
    launcher.SetText(ControlId::Text1, c.box);
    launcher.ticked = c.ticked;
    std::string whileOpen;  // MaxNr, NoInfo, copies started, window visible while the hint is open
    launcher.whileMessageOpen = [&] {
      if (!whileOpen.empty()) return;  // the hint of a second launch: already a failure
      whileOpen = launcher.Get("MaxNr") + launcher.Get("NoInfo") +
                  std::to_string(launcher.started.size() + launcher.visible);
      launcher.Click();  // a click that arrives while the hint is open does nothing
    };
    launcher.Click();
    launcher.Click();  // nor does one queued behind the first
    EXPECT_EQ(whileOpen, c.ticked ? c.maxNr + std::string("00") : "") << c.box;
    EXPECT_EQ(launcher.Get("MaxNr") + launcher.Get("NoInfo"), c.maxNr + std::string(c.ticked ? "1" : "0"));
    EXPECT_EQ(launcher.started, std::vector{launcher.In("ICQ.exe1")});
    EXPECT_TRUE(!launcher.visible && launcher.tickMs == 2000);
  }
}

// The count box takes digits, Backspace and Ctrl+V (a paste, cut by the box to the room left), no other key.
TEST(Window, CountBoxTakesDigitsBackspaceAndPaste) {
  Launcher launcher;
  for (const int code : std::initializer_list<int>{'0', '7', '9', 8, 22})
    EXPECT_EQ(launcher.form.OnCountBoxKey(code), code);
  for (const int code : std::initializer_list<int>{'a', '-', '.', '+', ' ', 13, 3, 24, 0x663})
    EXPECT_EQ(launcher.form.OnCountBoxKey(code), 0);
}

// One guard per executable file however it was started; two copies in two folders run side by side. Where
// the file system keeps no file numbers (or reports zeros), the path decides, letter case aside.
TEST(Startup, OneGuardPerFileHoweverItIsReached) {
  struct Case {
    const char *first, *second;
    std::optional<FileIdentity> firstFile, secondFile;
    bool refused;
  };
  const FileIdentity file{.volumeSerial = 0x43000000, .fileIndex = 0x5180AB}, none{};
  const FileIdentity copy{file.volumeSerial, file.fileIndex + 1}, otherVolume{0x12345678, file.fileIndex};
  // clang-format off
  for (const Case& c : {Case{"C:\\ICQ 7\\Tavu.exe", "C:\\ICQ7~1\\Tavu.exe", file, file, true},
       {"N:\\ICQ7\\Tavu.exe", "\\\\server\\apps\\ICQ7\\Tavu.exe", file, file, true},
       {"C:\\ICQ7\\Tavu.exe", "C:\\Copy\\Tavu.exe", file, copy, false},
       {"C:\\ICQ7\\Tavu.exe", "D:\\ICQ7\\Tavu.exe", file, otherVolume, false},
       {"C:\\ICQ7\\Tavu.exe", "c:\\icq7\\Tavu.exe", std::nullopt, std::nullopt, true},
       {"C:\\ICQ7\\Tavu.exe", "Q:\\Tavu.exe", std::nullopt, std::nullopt, false},
       {"C:\\ICQ7\\Tavu.exe", "C:\\Copy\\Tavu.exe", none, none, false}}) {
    // clang-format on
    std::set<std::string> session;
    Launcher first, second;
    for (auto [launcher, path, identity] :
         {std::tuple{&first, c.first, c.firstFile}, {&second, c.second, c.secondFile}}) {
      launcher->executablePath = path;
      if (identity) launcher->identities[path] = *identity;
      launcher->guards = &session;
      launcher->Start();
    }
    EXPECT_TRUE(first.visible && !first.ended) << c.second;
    EXPECT_EQ(second.ended == ExitStatus::AlreadyRunning, c.refused) << c.second;
  }
}

}  // namespace
}  // namespace brindle
