#pragma once
// A launcher on a fake platform that keeps its state in memory, in a shell that carries out what the
// handlers return as Tavu.exe's window does. Where Windows does what Wine cannot show, the fake does too.

#include <functional>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "launcher/Form1.h"
#include "settings/ValueText.h"
#include "window/Wording.h"

namespace brindle::fake {

using Text = std::string;

class Launcher final : public Platform, public Shell {
 public:
  Text commandLine, executablePath = "C:\\Messenger\\Tavu.exe";
  Text localeName = "Deutsch";
  GuardAnswer guard = GuardAnswer::Taken;
  bool scriptingWorks = true, memoryRunsOut = false;
  std::map<Text, Text> files{{"C:\\Messenger\\ICQ.exe", "messenger"}};
  std::set<Text> readOnly;
  std::map<Text, Text> profile;  // "path|section|key" -> value as the file holds it
  std::map<ControlId, Text> texts;
  int check = 0;
  std::function<void()> whileMessageOpen;
  std::vector<Text> messages, started;  // messages as "title|text|!" (exclamation) or "...|i" (information)
  bool visible = true, timerWorks = true;
  std::optional<int> tickMs;        // the hand-over timer, while it runs
  std::optional<ExitStatus> ended;  // how the run ended
  int afterEnd = 0;                 // what was carried out after the end: must stay 0
  Form1 form{*this};

  Launcher() {
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
  Text LocaleLanguageName(int kind) override { return kind == kLocaleNativeLanguageName ? localeName : ""; }
  // GetPrivateProfileStringW drops the blanks around a value, then one pair of quotes around it.
  Text ReadProfileValue(const ProfileKey& key) override {
    if (memoryRunsOut) throw std::bad_alloc();
    const auto found = profile.find(Slot(key));
    Text value(found == profile.end() ? "" : Trim(found->second));
    const bool quoted = value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    return quoted ? value.substr(1, value.size() - 2) : value;
  }
  bool WriteProfileValue(const ProfileKey& key, std::string_view value) override {
    return profile[Slot(key)] = value, true;
  }
  std::optional<bool> ScriptingFileExists(std::string_view path) override {
    if (memoryRunsOut) throw std::bad_alloc();
    return scriptingWorks ? std::optional<bool>(files.count(Text(path))) : std::nullopt;
  }
  bool FileSystemFileExists(std::string_view path) override { return files.count(Text(path)); }
  bool RemoveFile(std::string_view path) override {
    return !readOnly.count(Text(path)) && files.erase(Text(path));
  }
  // CopyFileW gives the copy the source's attributes, read-only included.
  bool CopyFileOver(const FileMove& copy) override {
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
    messages.push_back(Text(message.title) + "|" + Text(message.text) +
                       (message.icon == MessageIcon::Exclamation ? "|!" : "|i"));
    if (whileMessageOpen) whileMessageOpen();
  }
  void HideWindow() override { visible = false; }
  void CreateControls() override {}
  void PumpEvents() override {}
  Text ControlText(ControlId id) override { return texts[id]; }
  bool SetControlText(ControlId id, std::string_view text) override { return texts[id] = text, true; }
  int ControlLeft(ControlId id) override { return SpecOf(id).left; }
  bool SetControlLeft(ControlId, int) override { return true; }
  // BM_GETCHECK answers for check boxes; a push button or static says 0.
  int CheckValue(ControlId id) override { return id == ControlId::Check1 ? check : 0; }

  void ShowWindow() override { afterEnd += ended.has_value(), visible = true; }
  bool StartTimer(int ms) override { return afterEnd += ended.has_value(), timerWorks && (tickMs = ms); }
  void End(ExitStatus status) override { afterEnd += ended.has_value(), ended = status, tickMs.reset(); }

  Launcher& Start() { return form.OnInitialize(), CarryOut(form, *this, form.OnLoad()), *this; }
  void Click() { CarryOut(form, *this, form.OnOkClick()); }
  void Ticks(int most = 50) {  // fires the timer while it runs, `most` times at most
    for (int tick = 0; tick < most && tickMs; ++tick) CarryOut(form, *this, form.OnTimerTick());
  }

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

}  // namespace brindle::fake
