#include "launcher/Startup.h"

#include "launcher/InstanceGuard.h"
#include "launcher/Launch.h"
#include "launcher/Messages.h"
#include "launcher/Paths.h"
#include "settings/Settings.h"
#include "settings/ValueText.h"
#include "window/SwitchToEnglish.h"

namespace brindle {

namespace {

struct LanguageSources {
  std::string_view localeLanguageName;
  std::string_view commandLine;
  std::string_view languageSetting;
};

// Settings file over command line over system locale; "-english" over "-german".
bool DecideEnglish(const LanguageSources& sources) {
  bool english = !Contains(sources.localeLanguageName, kGermanLanguageName);
  if (Contains(sources.commandLine, kSwitchGerman)) english = false;
  if (Contains(sources.commandLine, kSwitchEnglish)) english = true;
  if (sources.languageSetting == settings::kEnglish) english = true;
  if (sources.languageSetting == settings::kGerman) english = false;
  return english;
}

void ReadProcessFacts(Platform& platform, Session& session) {
  session.commandLine = std::string(Trim(platform.CommandLineArguments()));
  session.executablePath = platform.ExecutablePath();
  session.folder = FolderOf(session.executablePath);
  session.settingsPath = session.folder + std::string(settings::kFileName);
}

void DecideLanguage(Platform& platform, Session& session) {
  const std::string localeName = platform.LocaleLanguageName();
  const std::string languageSetting =
      SettingsFile(platform, session.settingsPath).ReadIniValue(settings::kLanguage);
  session.english = DecideEnglish({.localeLanguageName = localeName,
                                   .commandLine = session.commandLine,
                                   .languageSetting = languageSetting});
}

// An elevated launcher's guard exists but may not be opened by a normal one of the same user: that is
// a launcher running too, and two of them would rotate the same slots and settings at once. Any other
// failure lets the run go on, as every step does.
bool AnotherLauncherRunning(Platform& platform, const Session& session) {
  const GuardAnswer answer = platform.TakeInstanceGuard(InstanceGuardName(platform, session.executablePath));
  return answer == GuardAnswer::AlreadyTaken || answer == GuardAnswer::AccessDenied;
}

bool WindowWanted(Platform& platform, const Session& session) {
  const bool noInfo =
      SettingsFile(platform, session.settingsPath).ReadIniValue(settings::kNoInfo) == settings::kYes;
  return !noInfo || Contains(session.commandLine, kSwitchInfo);
}

}  // namespace

Next RunStartup(Platform& platform, Window& window, Session& session) {
  window.Hide();
  ReadProcessFacts(platform, session);
  DecideLanguage(platform, session);

  if (AnotherLauncherRunning(platform, session))
    return ShowErrorThenEnd(platform, session.english, MessageId::AlreadyRunning, ExitStatus::AlreadyRunning);
  if (BaseNameOf(session.executablePath) != kExpectedExeName)
    return ShowErrorThenEnd(platform, session.english, MessageId::WrongExeName, ExitStatus::WrongExeName);
  if (!WindowWanted(platform, session)) return LaunchInstance(platform, window, session);
  if (session.english) SwitchToEnglish(window);
  SettingsFile(platform, session.settingsPath).WriteIniValue(settings::kNoInfo, settings::kNo);
  window.Show();
  return Next::Stay();
}

}  // namespace brindle
