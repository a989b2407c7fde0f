#pragma once
// A fresh folder for one test, with Tavu.exe and the stand-in messenger placed in it the way a user
// installs the launcher: Tavu.exe next to ICQ.exe in the messenger's program folder.
//
//   <test executable's folder>\e2e-work\<test name>\            base, wiped when the test starts
//   <test executable's folder>\e2e-work\<test name>\<app>\      the launcher folder ("app" unless the
//                                                               test names another, e.g. one with
//                                                               blanks or non-ASCII letters)

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/Process.h"
#include "driver/Standin.h"

namespace brindle::e2e {

inline constexpr std::string_view kLauncherExe = "Tavu.exe";
inline constexpr std::string_view kMessengerExe = "ICQ.exe";

// A program built next to the test executable, e.g. Tavu.exe or standin.exe.
std::string BuiltProgram(std::string_view name);

// Copies the stand-in to any path and writes its standin.cfg beside it.
bool PlaceStandin(std::string_view exePath, const StandinConfig& config);

class TestFolder {
 public:
  // Wipes and creates the folders; check ready() before use. "\" in appSubfolder makes nested folders.
  explicit TestFolder(std::string_view testName, std::string_view appSubfolder = "app");

  bool ready() const { return ready_; }
  const std::string& base() const { return base_; }
  const std::string& app() const { return app_; }
  std::string AppFile(std::string_view name) const;

  // Copies the built Tavu.exe into the launcher folder, under its own or another name.
  bool PlaceLauncher(std::string_view exeName = kLauncherExe) const;
  // Places the stand-in messenger as ICQ.exe with its timing.
  bool PlaceMessenger(const StandinConfig& config = {}) const;

  // tavu.ini: written as raw bytes, read back raw or by key (section "Brindle").
  bool WriteSettings(std::string_view text) const;
  std::optional<std::string> SettingsBytes() const;
  std::optional<std::string> Setting(std::string_view key) const;

  // Names of the files in the launcher folder, sorted.
  std::vector<std::string> Files() const;
  // What the stand-in copies in the launcher folder logged.
  std::vector<StandinEvent> StandinLog() const;

  // Starts the launcher placed under exeName in the launcher folder; by default its working folder
  // is the launcher folder, as when a user double-clicks it.
  std::optional<Process> StartLauncher(const LaunchOptions& options = {},
                                       std::string_view exeName = kLauncherExe) const;

 private:
  std::string base_;
  std::string app_;
  bool ready_ = false;
};

}  // namespace brindle::e2e
