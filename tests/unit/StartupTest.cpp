#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "launcher/Startup.h"

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
       {"Deutsch", "", "english", false}, {"English", "", " German", true}}) {
    // clang-format on
    Launcher launcher;
    launcher.platform.localeName = c.locale;
    launcher.platform.commandLine = c.commandLine;
    launcher.platform.Set("Language", c.setting);
    EXPECT_EQ(launcher.Start().form.session().english, c.english)
        << c.locale << "|" << c.commandLine << "|" << c.setting;
  }
}

TEST(Startup, FixesCommandLineFolderAndSettingsPath) {
  struct Case {
    const char *executable, *arguments, *commandLine, *folder;
  };
  for (const Case& c : {Case{"C:\\ICQ 7\\Tavu.exe", " \t-info -x \t", "-info -x", "C:\\ICQ 7\\"},
                        {"D:\\Tavu.exe", "", "", "D:\\"}}) {
    Launcher launcher;
    launcher.platform.executablePath = c.executable;
    launcher.platform.commandLine = c.arguments;
    const Session& session = launcher.Start().form.session();
    EXPECT_EQ(session.commandLine, c.commandLine);
    EXPECT_EQ(session.folder, c.folder);
    EXPECT_EQ(session.settingsPath, std::string(c.folder) + "tavu.ini");
  }
}

TEST(Startup, GuardsRefuseWithTheirMessageAndWriteNothing) {
  struct Case {
    GuardAnswer guard;
    const char *executable, *locale;
    std::optional<MessageId> message;
  };
  // The guard answers model what CreateMutexW tells: AlreadyTaken, a handle and ERROR_ALREADY_EXISTS
  // (another launcher of this user runs); AccessDenied, no handle and ERROR_ACCESS_DENIED (an elevated
  // launcher holds it and this one is not elevated); Failed, no handle for any other reason.
  // clang-format off
  for (const Case& c : {Case{GuardAnswer::AlreadyTaken, "C:\\M\\Tavu.exe", "Deutsch", MessageId::AlreadyRunning},
       {GuardAnswer::AlreadyTaken, "C:\\M\\Other.exe", "English", MessageId::AlreadyRunning},
       {GuardAnswer::AccessDenied, "C:\\M\\Tavu.exe", "English", MessageId::AlreadyRunning},
       {GuardAnswer::Failed, "C:\\M\\Tavu.exe", "English", std::nullopt},
       {GuardAnswer::Taken, "C:\\M\\Other.exe", "Deutsch", MessageId::WrongExeName},
       {GuardAnswer::Taken, "C:\\M\\tavu.exe", "English", MessageId::WrongExeName},
       {GuardAnswer::Taken, "C:\\M\\Tavu.exe.exe", "English", MessageId::WrongExeName}}) {
    // clang-format on
    Launcher launcher;
    launcher.platform.guard = c.guard;
    launcher.platform.executablePath = c.executable;
    launcher.platform.localeName = c.locale;
    launcher.Start();
    if (!c.message) {  // the run goes on as if the guard were taken
      EXPECT_TRUE(launcher.platform.visible && launcher.platform.messages.empty());
      continue;
    }
    const bool english = c.locale == std::string("English");
    EXPECT_EQ(launcher.platform.messages,
              std::vector{fake::Box(english ? "Error" : "Fehler", MessageTextOf(*c.message, english),
                                    MessageIcon::Exclamation)});
    EXPECT_TRUE(launcher.platform.ended && !launcher.platform.visible);
    EXPECT_TRUE(launcher.platform.profile.empty() && launcher.platform.started.empty());
  }
}

TEST(Startup, ShowsTheWindowUnlessNoInfoIsOneWithoutInfoSwitch) {
  struct Case {
    const char *noInfo, *commandLine;
    bool shown;
  };
  // clang-format off
  for (const Case& c : {Case{nullptr, "", true}, {"0", "", true}, {"1", "", false}, {"1", "-german", false},
       {"1", "-info", true}, {"1", "x-infox", true}, {"1", "-INFO", false}, {"01", "", true}, {" 1", "", true}}) {
    // clang-format on
    Launcher launcher;
    if (c.noInfo) launcher.platform.Set("NoInfo", c.noInfo);
    launcher.platform.commandLine = c.commandLine;
    launcher.Start();
    EXPECT_EQ(launcher.platform.visible, c.shown) << c.noInfo << "|" << c.commandLine;
    EXPECT_EQ(launcher.platform.log.back(), c.shown ? "Show" : "Timer 2000 on");
    EXPECT_EQ(launcher.platform.Get("NoInfo"), c.shown ? "0" : "1");
  }
}

TEST(Startup, HidesFirstAndSwitchesToEnglishBeforeShowing) {
  Launcher launcher;
  launcher.platform.commandLine = "-english";
  launcher.Start();
  EXPECT_EQ(launcher.platform.log[0] + launcher.platform.log[1], "InitCommonControlsHide");
  EXPECT_EQ(launcher.platform.texts[ControlId::Label1], ControlTextOf(ControlId::Label1, true));
  EXPECT_TRUE(launcher.platform.visible);
}

}  // namespace
}  // namespace brindle
