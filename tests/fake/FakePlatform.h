#pragma once
// A platform that keeps its state in memory: files, settings, window and controls, messages, the
// timer. Tests script its answers, fire the timer by hand and read back what the launcher did.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FormEvents.h"
#include "platform/Platform.h"

namespace brindle::fake {

struct RecordedMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
};

struct ControlState {
  std::string text;
  int left = 0;
  int check = 0;
};

class FakePlatform final : public Platform {
 public:
  FakePlatform();

  // Scripted process facts.
  std::string commandLine;
  std::string executablePath = "C:\\Messenger\\Tavu.exe";
  bool anotherInstance = false;
  std::optional<std::string> localeName = "Deutsch";  // nullopt: the query fails

  // Files: path -> content. Locked files can be neither deleted nor overwritten (a running copy).
  std::map<std::string, std::string> files;
  std::set<std::string> lockedFiles;
  bool copyFails = false;
  bool startFails = false;
  // Settings: "path|section|key" -> value. A read-only settings file loses every write.
  std::map<std::string, std::string> profile;
  bool profileReadOnly = false;

  // What the launcher did.
  std::vector<std::string> calls;  // every operation in order, e.g. "Write NoInfo=1", "Start C:\\x"
  std::vector<RecordedMessage> messages;
  std::vector<std::string> startedPrograms;
  bool windowVisible = true;  // a freshly created window before the launcher hides it
  bool ended = false;
  std::optional<TimerSetting> timer;
  std::map<ControlId, ControlState> controls;
  int localeSizeAsked = 0;
  int localeBufferGiven = 0;
  // Runs while a message box is open, before the user closes it.
  std::function<void(const RecordedMessage&)> whileMessageOpen;

  // Settings helpers for tests, on the settings file beside the executable.
  std::string SettingsPath() const;
  std::optional<std::string> Setting(const std::string& key) const;
  void SetSetting(const std::string& key, const std::string& value);
  std::string FileIn(const std::string& name) const;  // folder of the executable + name

  // Fires one timer tick at `events` if the timer is on and the process still runs; false otherwise.
  bool FireTimer(FormEvents& events);
  // Fires ticks until the process ends or `limit` ticks have fired; returns the number fired.
  int RunTimerUntilEnded(FormEvents& events, int limit = 100);

  // Platform.
  std::string CommandLineArguments() override { return commandLine; }
  std::string ExecutablePath() override { return executablePath; }
  bool AnotherInstanceRunning() override;
  int LocaleInfoSize(int kind) override;
  std::string LocaleInfo(int kind, int bufferSize) override;
  std::string ReadProfileString(const ProfileKey& key, int bufferSize) override;
  bool WriteProfileString(const ProfileKey& key, std::string_view value) override;
  bool FileExists(std::string_view path) override;
  bool DeleteFile(std::string_view path) override;
  bool CopyFile(const FileMove& copy) override;
  bool RenameFile(const FileMove& move) override;
  bool StartProgram(std::string_view path) override;
  void InitCommonControls() override { calls.push_back("InitCommonControls"); }
  void ShowMessage(const Message& message) override;
  void HideWindow() override;
  void ShowWindow() override;
  void EndProcess() override;
  void SetTimer(const TimerSetting& setting) override;
  void PumpEvents() override { calls.push_back("PumpEvents"); }
  std::string ControlText(ControlId id) override { return controls[id].text; }
  bool SetControlText(ControlId id, std::string_view text) override;
  int ControlLeft(ControlId id) override { return controls[id].left; }
  bool SetControlLeft(ControlId id, int left) override;
  int CheckValue(ControlId id) override { return controls[id].check; }

 private:
  static std::string ProfileSlot(const ProfileKey& key);
};

}  // namespace brindle::fake
