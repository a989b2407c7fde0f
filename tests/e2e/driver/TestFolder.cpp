#include "driver/TestFolder.h"

#include "driver/Files.h"
#include "driver/Settings.h"

namespace brindle::e2e {

std::string BuiltProgram(std::string_view name) {
  return JoinPath(TestExecutableFolder(), name);
}

bool PlaceStandin(std::string_view exePath, const StandinConfig& config) {
  return CopyFileTo(BuiltProgram(kStandinExe), exePath) &&
         WriteBytes(JoinPath(FolderOf(exePath), kStandinConfigFile), StandinConfigText(config));
}

TestFolder::TestFolder(std::string_view testName, std::string_view appSubfolder)
    : base_(JoinPath(JoinPath(TestExecutableFolder(), "e2e-work"), testName)),
      app_(JoinPath(base_, appSubfolder)) {
  ready_ = RemoveTree(base_) && MakeFolders(app_);
}

std::string TestFolder::AppFile(std::string_view name) const {
  return JoinPath(app_, name);
}

bool TestFolder::PlaceLauncher(std::string_view exeName) const {
  return CopyFileTo(BuiltProgram(kLauncherExe), AppFile(exeName));
}

bool TestFolder::PlaceMessenger(const StandinConfig& config) const {
  return PlaceStandin(AppFile(kMessengerExe), config);
}

bool TestFolder::WriteSettings(std::string_view text) const {
  return WriteBytes(AppFile(kSettingsFile), text);
}

std::optional<std::string> TestFolder::SettingsBytes() const {
  return ReadBytes(AppFile(kSettingsFile));
}

std::optional<std::string> TestFolder::Setting(std::string_view key) const {
  const std::optional<std::string> text = SettingsBytes();
  if (!text) return std::nullopt;
  return IniValue(*text, kSettingsSection, key);
}

std::vector<std::string> TestFolder::Files() const {
  return FileNames(app_);
}

std::vector<StandinEvent> TestFolder::StandinLog() const {
  return ReadStandinLog(app_);
}

std::optional<Process> TestFolder::StartLauncher(const LaunchOptions& options,
                                                 std::string_view exeName) const {
  LaunchOptions withFolder = options;
  if (!withFolder.workingFolder) withFolder.workingFolder = app_;
  return Process::Start(AppFile(exeName), withFolder);
}

}  // namespace brindle::e2e
