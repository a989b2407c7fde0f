#include <gtest/gtest.h>

#include "Harness.h"
#include "launcher/Startup.h"

namespace brindle {
namespace {

using test::Launcher;

struct LanguageCase {
  const char* locale;
  const char* commandLine;
  const char* languageSetting;
  bool english;
};

class LanguageTest : public testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageTest, SettingOverSwitchOverLocale) {
  const auto& c = GetParam();
  EXPECT_EQ(DecideEnglish({.localeLanguageName = c.locale,
                           .commandLine = c.commandLine,
                           .languageSetting = c.languageSetting}),
            c.english);
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, LanguageTest,
    testing::Values(
        LanguageCase{"Deutsch", "", "", false}, LanguageCase{"English", "", "", true},
        LanguageCase{"", "", "", true},  // a failed locale query reads as not German
        LanguageCase{"Deutsch (Schweiz)", "", "", false},
        LanguageCase{"deutsch", "", "", true},  // case-sensitive
        LanguageCase{"Deutsch", "-english", "", true}, LanguageCase{"English", "-german", "", false},
        LanguageCase{"Deutsch", "-german -english", "", true},
        LanguageCase{"Deutsch", "-english -german", "", true},
        LanguageCase{"English", "-germanx", "", false},  // a substring anywhere counts
        LanguageCase{"English", "-GERMAN", "", true}, LanguageCase{"Deutsch", "", "English", true},
        LanguageCase{"English", "", "German", false}, LanguageCase{"Deutsch", "-english", "German", false},
        LanguageCase{"English", "-german", "English", true},
        LanguageCase{"Deutsch", "", "english", false},  // only the exact words count
        LanguageCase{"English", "", "german", true}, LanguageCase{"English", "", " German", true}));

TEST(LocaleLanguageNameTest, AsksForTheSizeThenReadsWithThatBuffer) {
  fake::FakePlatform platform;
  platform.localeName = "Deutsch";
  EXPECT_EQ(LocaleLanguageName(platform, kLocaleNativeLanguageName), "Deutsch");
  EXPECT_EQ(platform.localeSizeAsked, kLocaleNativeLanguageName);
  EXPECT_EQ(platform.localeBufferGiven, 8);  // seven letters and the terminator
}

TEST(LocaleLanguageNameTest, FailedQueryGivesEmptyText) {
  fake::FakePlatform platform;
  platform.localeName.reset();
  EXPECT_EQ(LocaleLanguageName(platform, kLocaleNativeLanguageName), "");
}

TEST(StartupTest, FixesCommandLineFolderAndSettingsPath) {
  Launcher launcher;
  launcher.platform.executablePath = "C:\\Program Files\\ICQ 7\\Tavu.exe";
  launcher.platform.commandLine = "   -info -english \t ";
  launcher.Start();
  EXPECT_EQ(launcher.form.session().commandLine, "-info -english");
  EXPECT_EQ(launcher.form.session().folder, "C:\\Program Files\\ICQ 7\\");
  EXPECT_EQ(launcher.form.session().settingsPath, "C:\\Program Files\\ICQ 7\\tavu.ini");
}

TEST(StartupTest, DriveRootFolderGetsNoSecondBackslash) {
  Launcher launcher;
  launcher.platform.executablePath = "D:\\Tavu.exe";
  launcher.Start();
  EXPECT_EQ(launcher.form.session().folder, "D:\\");
  EXPECT_EQ(launcher.form.session().settingsPath, "D:\\tavu.ini");
}

TEST(StartupTest, LanguageFromTheSettingsFileBeatsTheLocale) {
  Launcher launcher;
  launcher.platform.localeName = "Deutsch";
  launcher.platform.SetSetting("Language", "English");
  launcher.Start();
  EXPECT_TRUE(launcher.form.session().english);
}

struct GuardCase {
  const char* name;
  bool anotherInstance;
  const char* exePath;
  const char* locale;
  const char* text;
  const char* title;
};

class GuardTest : public testing::TestWithParam<GuardCase> {};

TEST_P(GuardTest, RefusesWithItsMessageAndWritesNothing) {
  const auto& c = GetParam();
  Launcher launcher;
  launcher.platform.anotherInstance = c.anotherInstance;
  launcher.platform.executablePath = c.exePath;
  launcher.platform.localeName = c.locale;
  launcher.Start();

  ASSERT_EQ(launcher.platform.messages.size(), 1u);
  EXPECT_EQ(launcher.platform.messages[0].text, c.text);
  EXPECT_EQ(launcher.platform.messages[0].title, c.title);
  EXPECT_EQ(launcher.platform.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_TRUE(launcher.platform.ended);
  EXPECT_FALSE(launcher.platform.windowVisible);
  EXPECT_TRUE(launcher.platform.profile.empty());
  EXPECT_TRUE(launcher.platform.startedPrograms.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Guards, GuardTest,
    testing::Values(GuardCase{"AlreadyRunningGerman", true, "C:\\M\\Tavu.exe", "Deutsch",
                              "Der Brindle läuft bereits.", "Fehler"},
                    GuardCase{"AlreadyRunningEnglish", true, "C:\\M\\Tavu.exe", "English",
                              "Brindle is already running.", "Error"},
                    // The instance guard comes first, so a wrongly named second launcher says it is running.
                    GuardCase{"RunningBeatsWrongName", true, "C:\\M\\Other.exe", "English",
                              "Brindle is already running.", "Error"},
                    GuardCase{"WrongNameGerman", false, "C:\\M\\Other.exe", "Deutsch",
                              "Falscher EXE-Name des Brindles", "Fehler"},
                    GuardCase{"WrongNameEnglish", false, "C:\\M\\Other.exe", "English",
                              "Wrong EXE name of Brindle.", "Error"},
                    GuardCase{"LowerCaseName", false, "C:\\M\\tavu.exe", "English",
                              "Wrong EXE name of Brindle.", "Error"},
                    GuardCase{"UpperCaseName", false, "C:\\M\\TAVU.EXE", "English",
                              "Wrong EXE name of Brindle.", "Error"},
                    GuardCase{"LongerName", false, "C:\\M\\Tavu2.exe", "English",
                              "Wrong EXE name of Brindle.", "Error"},
                    GuardCase{"DoubleExtension", false, "C:\\M\\Tavu.exe.exe", "English",
                              "Wrong EXE name of Brindle.", "Error"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupTest, RightNameWithoutExtensionIsAccepted) {
  Launcher launcher;
  launcher.platform.executablePath = "C:\\Messenger\\Tavu";
  launcher.Start();
  EXPECT_TRUE(launcher.platform.messages.empty());
  EXPECT_TRUE(launcher.platform.windowVisible);
}

struct WindowCase {
  const char* noInfo;  // nullptr: no key
  const char* commandLine;
  bool windowShown;
};

class WindowDecisionTest : public testing::TestWithParam<WindowCase> {};

TEST_P(WindowDecisionTest, ShowsTheWindowOrLaunchesAtOnce) {
  const auto& c = GetParam();
  Launcher launcher;
  if (c.noInfo) launcher.platform.SetSetting("NoInfo", c.noInfo);
  launcher.platform.commandLine = c.commandLine;
  launcher.Start();

  EXPECT_EQ(launcher.platform.windowVisible, c.windowShown);
  if (c.windowShown) {
    EXPECT_EQ(launcher.SettingOr("NoInfo"), "0");
    EXPECT_TRUE(launcher.platform.startedPrograms.empty());
    EXPECT_FALSE(launcher.platform.ended);
    EXPECT_EQ(launcher.platform.calls.back(), "Show");
  } else {
    EXPECT_EQ(launcher.SettingOr("NoInfo"), "1");
    EXPECT_EQ(launcher.platform.startedPrograms, std::vector<std::string>{"C:\\Messenger\\ICQ.exe1"});
  }
}

INSTANTIATE_TEST_SUITE_P(Decisions, WindowDecisionTest,
                         testing::Values(WindowCase{nullptr, "", true}, WindowCase{"0", "", true},
                                         WindowCase{"1", "", false}, WindowCase{"1", "-german", false},
                                         WindowCase{"1", "-info", true}, WindowCase{"1", "x-infox", true},
                                         WindowCase{"1", "-INFO", false}, WindowCase{"01", "", true},
                                         WindowCase{" 1", "", true}, WindowCase{"2", "", true}));

TEST(StartupTest, EnglishWindowIsSwitchedBeforeItShows) {
  Launcher launcher;
  launcher.platform.commandLine = "-english";
  launcher.Start();
  EXPECT_EQ(launcher.platform.controls[ControlId::Label1].text,
            "Maximum number of allowed instances of ICQ 7:");
  EXPECT_EQ(launcher.platform.controls[ControlId::Text1].left, 3720);
  EXPECT_TRUE(launcher.platform.windowVisible);
}

TEST(StartupTest, GermanWindowKeepsItsDesignTexts) {
  Launcher launcher;
  launcher.platform.commandLine = "-german";
  launcher.Start();
  EXPECT_EQ(launcher.platform.controls[ControlId::Label1].text,
            "Maximale Anzahl der erlaubten Instanzen von ICQ 7:");
  EXPECT_EQ(launcher.platform.controls[ControlId::Text1].left, 4000);
}

TEST(StartupTest, HidesFirstAndInitialisesCommonControls) {
  Launcher launcher;
  launcher.Start();
  ASSERT_GE(launcher.platform.calls.size(), 2u);
  EXPECT_EQ(launcher.platform.calls[0], "InitCommonControls");
  EXPECT_EQ(launcher.platform.calls[1], "Hide");
}

TEST(StartupTest, UnwritableSettingsStillShowTheWindow) {
  Launcher launcher;
  launcher.platform.profileReadOnly = true;
  launcher.Start();
  EXPECT_TRUE(launcher.platform.windowVisible);
  EXPECT_TRUE(launcher.platform.messages.empty());
}

}  // namespace
}  // namespace brindle
