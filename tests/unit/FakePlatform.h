#pragma once
// A launcher on a fake system and a fake window that keep their state in memory; the window carries out
// what the handlers return as Tavu.exe's does. Where Windows does what Wine cannot show, the fake does too.

#include <functional>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "launcher/Form1.h"
#include "settings/ValueText.h"

namespace brindle::fake {

class Launcher final : public Platform, public Window {
 public:
  std::string commandLine, executablePath = "C:\\Messenger\\Tavu.exe";
  std::string localeName = "Deutsch";
  std::map<std::string, FileIdentity> identities;  // by path as started; no entry: none can be read
  std::optional<GuardAnswer> guard;                // scripted; otherwise the guards in `guards`
  std::set<std::string> ownGuards, *guards = &ownGuards;
  bool scriptingWorks = true, memoryRunsOut = false;
  std::map<std::string, std::string> files{{"C:\\Messenger\\ICQ.exe", "messenger"}};
  std::set<std::string> readOnly;
  std::map<std::string, std::string> profile;  // "path|section|key" -> value as the file holds it
  ControlStates controls = DesignStates();
  bool ticked = false;
  std::function<void()> whileMessageOpen;
  std::vector<std::string> messages,
      started;  // messages as "title|text|!" (exclamation) or "...|i" (information)
  bool visible = true, timerWorks = true;
  std::optional<int> tickMs;        // the hand-over timer, while it runs
  std::optional<ExitStatus> ended;  // how the run ended
  int afterEnd = 0;                 // what was carried out after the end: must stay 0
  Form1 form{*this, *this};

  std::string In(const std::string& name) const {
    return executablePath.substr(0, executablePath.rfind('\\') + 1) + name;
  }
  std::string Get(const std::string& key) const {
    const auto found = profile.find(In("tavu.ini|Brindle|" + key));
    return found == profile.end() ? "<absent>" : found->second;
  }
  void Set(const std::string& key, const std::string& value) {
    profile[In("tavu.ini|Brindle|" + key)] = value;
  }
  std::string& TextOf(ControlId id) { return controls[IndexOf(id)].text; }

  std::string CommandLineArguments() override { return commandLine; }
  std::string ExecutablePath() override { return executablePath; }
  std::optional<FileIdentity> IdentityOf(std::string_view path) override {
    const auto found = identities.find(std::string(path));
    return found == identities.end() ? std::nullopt : std::optional(found->second);
  }
  std::string UpperCase(std::string_view text) override {
    std::string upper(text);
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return upper;
  }
  GuardAnswer TakeInstanceGuard(std::string_view name) override {
    if (guard) return *guard;
    return guards->insert(std::string(name)).second ? GuardAnswer::Taken : GuardAnswer::AlreadyTaken;
  }
  std::string LocaleLanguageName() override { return localeName; }
  // GetPrivateProfileStringW drops the blanks around a value, then one pair of quotes around it.
  std::string ReadProfileValue(const ProfileKey& key) override {
    if (memoryRunsOut) throw std::bad_alloc();
    const auto found = profile.find(Slot(key));
    std::string value(found == profile.end() ? "" : Trim(found->second));
    const bool quoted = value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    return quoted ? value.substr(1, value.size() - 2) : value;
  }
  bool WriteProfileValue(const ProfileKey& key, std::string_view value) override {
    profile[Slot(key)] = value;
    return true;
  }
  std::optional<bool> ScriptingFileExists(std::string_view path) override {
    if (memoryRunsOut) throw std::bad_alloc();
    return scriptingWorks ? std::optional<bool>(files.count(std::string(path))) : std::nullopt;
  }
  bool FileSystemFileExists(std::string_view path) override { return files.count(std::string(path)); }
  bool RemoveFile(std::string_view path) override {
    return !readOnly.count(std::string(path)) && files.erase(std::string(path));
  }
  // CopyFileW gives the copy the source's attributes, read-only included.
  bool CopyFileOver(const FileMove& copy) override {
    if (!Move(copy, !readOnly.count(std::string(copy.to)), true)) return false;
    if (readOnly.count(std::string(copy.from))) readOnly.insert(std::string(copy.to));
    return true;
  }
  bool MakeWritable(std::string_view path) override {
    readOnly.erase(std::string(path));
    return files.count(std::string(path));
  }
  bool RenameFile(const FileMove& move) override {
    return Move(move, !files.count(std::string(move.to)), false);
  }
  bool StartProgram(std::string_view path) override {
    if (!files.count(std::string(path))) return false;
    started.emplace_back(path);
    return true;
  }
  void ShowMessage(const Message& message) override {
    messages.push_back(std::string(message.title) + "|" + std::string(message.text) +
                       (message.icon == MessageIcon::Exclamation ? "|!" : "|i"));
    if (whileMessageOpen) whileMessageOpen();
  }

  std::string Text(ControlId id) override { return TextOf(id); }
  bool SetText(ControlId id, std::string_view text) override {
    TextOf(id) = text;
    return true;
  }
  int Left(ControlId id) override { return controls[IndexOf(id)].left; }
  bool SetLeft(ControlId id, int left) override {
    controls[IndexOf(id)].left = left;
    return true;
  }
  bool IsTicked(ControlId id) override { return id == ControlId::Check1 && ticked; }
  void Show() override {
    Carried();
    visible = true;
  }
  void Hide() override { visible = false; }
  bool StartTimer(int ms) override {
    Carried();
    if (timerWorks) tickMs = ms;
    return timerWorks;
  }
  void End(ExitStatus status) override {
    Carried();
    ended = status;
    tickMs.reset();
    visible = false;
  }
  void PumpEvents() override {}

  Launcher& Start() {
    form.CarryOut(form.OnLoad());
    return *this;
  }
  void Click() { form.CarryOut(form.OnOkClick()); }
  void Close() { form.CarryOut(form.OnClose()); }
  void Ticks(int most = 50) {  // fires the timer while it runs, `most` times at most
    for (int tick = 0; tick < most && tickMs; ++tick) form.CarryOut(form.OnTimerTick());
  }

 private:
  void Carried() { afterEnd += ended.has_value(); }
  static std::string Slot(const ProfileKey& key) {
    return std::string(key.path) + "|" + std::string(key.section) + "|" + std::string(key.key);
  }
  bool Move(const FileMove& move, bool allowed, bool keepSource) {
    const auto source = files.find(std::string(move.from));
    if (!allowed || source == files.end()) return false;
    files[std::string(move.to)] = source->second;
    if (!keepSource) files.erase(std::string(move.from));
    return true;
  }
};

}  // namespace brindle::fake
