#pragma once
// A platform that keeps its state in memory: files, settings, controls, message boxes and the timer.
// Tests script its answers, fire the timer by hand and read back what the launcher did.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "launcher/Form1.h"
#include "window/Texts.h"

namespace brindle::fake {

using Text = std::string;

// A message box as the tests compare it: "title|text|!" (exclamation) or "...|i" (information).
inline Text Box(std::string_view title, std::string_view text, MessageIcon icon) {
  return Text(title) + "|" + Text(text) + (icon == MessageIcon::Exclamation ? "|!" : "|i");
}

class FakePlatform final : public Platform {
 public:
  Text commandLine, executablePath = "C:\\Messenger\\Tavu.exe";
  std::optional<Text> localeName = "Deutsch";  // nullopt: the query fails
  GuardAnswer guard = GuardAnswer::Taken;
  bool scriptingWorks = true, writesFail = false, startFails = false;
  std::map<Text, Text> files{{"C:\\Messenger\\ICQ.exe", "messenger"}};
  std::set<Text> inUse;          // a running copy: neither deleted nor overwritten
  std::set<Text> readOnly;       // neither deleted nor overwritten, as Windows refuses both
  std::map<Text, Text> profile;  // "path|section|key" -> value
  std::map<ControlId, Text> texts;
  std::map<ControlId, int> lefts;
  int check = 0;
  std::function<void()> whileMessageOpen;

  std::vector<Text> log;  // the operations, in order
  std::vector<Text> messages;
  std::vector<Text> started;
  bool visible = true, ended = false;
  std::optional<TimerSetting> timer;

  FakePlatform() {
    for (const auto& row : kControls)
      texts[row.id] = ControlTextOf(row.id, false).value_or(""), lefts[row.id] = row.left;
    texts[ControlId::Text1] = kText1Initial;
  }
  Text In(const Text& name) const { return executablePath.substr(0, executablePath.rfind('\\') + 1) + name; }
  Text Get(const Text& key) const { return Read(In("tavu.ini|Brindle|" + key)).value_or("<absent>"); }
  void Set(const Text& key, const Text& value) { profile[In("tavu.ini|Brindle|" + key)] = value; }

  Text CommandLineArguments() override { return commandLine; }
  Text ExecutablePath() override { return executablePath; }
  GuardAnswer TakeInstanceGuard() override { return guard; }
  int LocaleInfoSize(int kind) override {
    return localeName && kind == kLocaleNativeLanguageName ? int(localeName->size()) + 1 : 0;
  }
  Text LocaleInfo(int, int bufferSize) override {
    return localeName->substr(0, bufferSize - 1);  // never more than the buffer holds
  }
  Text ReadProfileString(const ProfileKey& key, int size) override {
    return Read(Slot(key)).value_or("").substr(0, size - 1);
  }
  bool WriteProfileString(const ProfileKey& key, std::string_view value) override {
    log.push_back("Write " + Text(key.key) + "=" + Text(value));
    if (!writesFail) profile[Slot(key)] = value;
    return !writesFail;
  }
  std::optional<bool> ScriptingFileExists(std::string_view path) override {
    return scriptingWorks ? std::optional<bool>(files.count(Text(path))) : std::nullopt;
  }
  bool FileSystemFileExists(std::string_view path) override { return files.count(Text(path)); }
  bool DeleteFile(std::string_view path) override {
    log.push_back("Delete " + Text(path));
    return !Locked(Text(path)) && files.erase(Text(path));
  }
  // CopyFileW gives the copy the source's attributes, read-only included.
  bool CopyFile(const FileMove& copy) override {
    if (!Move("Copy ", copy, !Locked(Text(copy.to)), true)) return false;
    if (readOnly.count(Text(copy.from))) readOnly.insert(Text(copy.to));
    return true;
  }
  bool MakeWritable(std::string_view path) override {
    log.push_back("Writable " + Text(path));
    return readOnly.erase(Text(path)), files.count(Text(path));
  }
  bool RenameFile(const FileMove& move) override {
    return Move("Rename ", move, !files.count(Text(move.to)), false);
  }
  bool StartProgram(std::string_view path) override {
    log.push_back("Start " + Text(path));
    if (startFails || !files.count(Text(path))) return false;
    return started.emplace_back(path), true;
  }
  void InitCommonControls() override { log.push_back("InitCommonControls"); }
  void ShowMessage(const Message& message) override {
    messages.push_back(Box(message.title, message.text, message.icon));
    if (whileMessageOpen) whileMessageOpen();
  }
  void HideWindow() override { log.push_back("Hide"), visible = false; }
  void ShowWindow() override { log.push_back("Show"), visible = true; }
  void EndProcess() override { log.push_back("End"), ended = true, visible = false; }
  void SetTimer(const TimerSetting& setting) override {
    log.push_back("Timer " + std::to_string(setting.intervalMs) + (setting.enabled ? " on" : " off"));
    timer = setting;
  }
  void PumpEvents() override { log.push_back("Pump"); }
  Text ControlText(ControlId id) override { return texts[id]; }
  bool SetControlText(ControlId id, std::string_view text) override { return texts[id] = text, true; }
  int ControlLeft(ControlId id) override { return lefts[id]; }
  bool SetControlLeft(ControlId id, int left) override { return lefts[id] = left, true; }
  int CheckValue(ControlId) override { return check; }

 private:
  bool Locked(const Text& path) const { return inUse.count(path) || readOnly.count(path); }
  static Text Slot(const ProfileKey& key) {
    return Text(key.path) + "|" + Text(key.section) + "|" + Text(key.key);
  }
  std::optional<Text> Read(const Text& slot) const {
    const auto found = profile.find(slot);
    return found == profile.end() ? std::nullopt : std::optional(found->second);
  }
  bool Move(const char* verb, const FileMove& move, bool allowed, bool keepSource) {
    log.push_back(verb + Text(move.from) + " " + Text(move.to));
    const auto source = files.find(Text(move.from));
    if (!allowed || source == files.end()) return false;
    files[Text(move.to)] = source->second;
    if (!keepSource) files.erase(Text(move.from));
    return true;
  }
};

// A launcher on the fake platform, started as the real window starts it.
struct Launcher {
  FakePlatform platform;
  Form1 form{platform};

  Launcher& Start() { return form.OnInitialize(), form.OnLoad(), *this; }
  // Fires the timer while it is on, as long as the process lives; the number of ticks fired.
  int Ticks(int most = 50) {
    int ticks = 0;
    for (; ticks < most && !platform.ended && platform.timer && platform.timer->enabled; ++ticks)
      form.OnTimerTick();
    return ticks;
  }
};

}  // namespace brindle::fake
