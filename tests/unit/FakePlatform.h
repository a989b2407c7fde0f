#pragma once
// A platform that keeps its state in memory; tests script its answers, fire the timer by hand and read
// back what the launcher did. Where Windows does what Wine cannot show, the fake does it too, and says so.

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
  bool scriptingWorks = true;
  std::map<Text, Text> files{{"C:\\Messenger\\ICQ.exe", "messenger"}};
  std::set<Text> readOnly;       // DeleteFileW and CopyFileW refuse to delete or overwrite these
  std::map<Text, Text> profile;  // "path|section|key" -> value
  std::map<ControlId, Text> texts;
  int check = 0;
  std::function<void()> whileMessageOpen;
  std::vector<Text> messages, started;
  bool visible = true, ended = false;
  std::optional<TimerSetting> timer;

  FakePlatform() {
    for (const auto& row : kControls) texts[row.id] = ControlTextOf(row.id, false).value_or("");
    texts[ControlId::Text1] = kText1Initial;
  }
  Text In(const Text& name) const { return executablePath.substr(0, executablePath.rfind('\\') + 1) + name; }
  Text Get(const Text& key) const {
    const auto found = profile.find(In("tavu.ini|Brindle|" + key));
    return found == profile.end() ? "<absent>" : found->second;
  }
  void Set(const Text& key, const Text& value) { profile[In("tavu.ini|Brindle|" + key)] = value; }

  Text CommandLineArguments() override { return commandLine; }
  Text ExecutablePath() override { return executablePath; }
  GuardAnswer TakeInstanceGuard() override { return guard; }
  int LocaleInfoSize(int kind) override {
    return localeName && kind == kLocaleNativeLanguageName ? int(localeName->size()) + 1 : 0;
  }
  Text LocaleInfo(int, int size) override { return localeName->substr(0, size - 1); }  // what fits the buffer
  Text ReadProfileString(const ProfileKey& key, int size) override {
    const auto found = profile.find(Slot(key));
    return found == profile.end() ? "" : found->second.substr(0, size - 1);
  }
  bool WriteProfileString(const ProfileKey& key, std::string_view value) override {
    return profile[Slot(key)] = value, true;
  }
  std::optional<bool> ScriptingFileExists(std::string_view path) override {
    return scriptingWorks ? std::optional<bool>(files.count(Text(path))) : std::nullopt;
  }
  bool FileSystemFileExists(std::string_view path) override { return files.count(Text(path)); }
  bool DeleteFile(std::string_view path) override {
    return !readOnly.count(Text(path)) && files.erase(Text(path));
  }
  // CopyFileW gives the copy the source's attributes, read-only included.
  bool CopyFile(const FileMove& copy) override {
    if (!Move(copy, !readOnly.count(Text(copy.to)), true)) return false;
    if (readOnly.count(Text(copy.from))) readOnly.insert(Text(copy.to));
    return true;
  }
  bool MakeWritable(std::string_view path) override {
    return readOnly.erase(Text(path)), files.count(Text(path));
  }
  bool RenameFile(const FileMove& move) override { return Move(move, !files.count(Text(move.to)), false); }
  bool StartProgram(std::string_view path) override {
    return files.count(Text(path)) && (started.emplace_back(path), true);
  }
  void InitCommonControls() override {}
  void ShowMessage(const Message& message) override {
    messages.push_back(Box(message.title, message.text, message.icon));
    if (whileMessageOpen) whileMessageOpen();
  }
  void HideWindow() override { visible = false; }
  void ShowWindow() override { visible = true; }
  void EndProcess() override { ended = true, visible = false; }
  void SetTimer(const TimerSetting& setting) override { timer = setting; }
  void PumpEvents() override {}
  Text ControlText(ControlId id) override { return texts[id]; }
  bool SetControlText(ControlId id, std::string_view text) override { return texts[id] = text, true; }
  int ControlLeft(ControlId id) override { return SpecOf(id).left; }
  bool SetControlLeft(ControlId, int) override { return true; }
  int CheckValue(ControlId) override { return check; }

 private:
  static Text Slot(const ProfileKey& key) {
    return Text(key.path) + "|" + Text(key.section) + "|" + Text(key.key);
  }
  bool Move(const FileMove& move, bool allowed, bool keepSource) {
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
