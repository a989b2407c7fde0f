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
#include "launcher/Paths.h"
#include "settings/ValueText.h"

namespace brindle::fake {

using String = std::string;
template <typename Value>
using ByName = std::map<String, Value, std::less<>>;  // looked up by string_view too

class Launcher final : public Platform, public Window {
 public:
  String commandLine, executablePath = "C:\\Messenger\\Tavu.exe", localeName = "Deutsch";
  ByName<FileIdentity> identities;   // by path as started; no entry: none can be read
  std::optional<GuardAnswer> guard;  // scripted; otherwise from the session's guards
  std::set<String> ownGuards, *guards = &ownGuards;
  bool scriptingWorks = true, memoryRunsOut = false, startWorks = true;
  ByName<String> files{{"C:\\Messenger\\ICQ.exe", "messenger"}};
  // Windows refuses to delete or overwrite a read-only file, and one that a running program was started from.
  std::set<String, std::less<>> readOnly, running;
  ByName<String> profile;  // "path|section|key" -> value as the file holds it
  ControlStates controls = DesignStates();
  bool ticked = false, visible = true, timerWorks = true;
  std::function<void()> whileMessageOpen;
  std::vector<String> messages, started;  // messages as "title|text|!" (exclamation) or "...|i" (information)
  std::optional<int> tickMs;              // the hand-over timer, while it runs
  std::optional<ExitStatus> ended;        // how the run ended
  int afterEnd = 0;                       // what was carried out after the end: must stay 0
  Form1 form{*this, *this};

  String In(const String& name) const { return FolderOf(executablePath) + name; }
  String Get(const String& key) const {
    const auto found = profile.find(In("tavu.ini|Brindle|" + key));
    return found == profile.end() ? "<absent>" : found->second;
  }
  void Set(const String& key, const String& value) { profile[In("tavu.ini|Brindle|" + key)] = value; }

  String CommandLineArguments() override { return commandLine; }
  String ExecutablePath() override { return executablePath; }
  std::optional<FileIdentity> IdentityOf(std::string_view path) override {
    const auto found = identities.find(path);
    return found == identities.end() ? std::nullopt : std::optional(found->second);
  }
  String UpperCase(std::string_view text) override {
    String upper(text);
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return upper;
  }
  GuardAnswer TakeInstanceGuard(std::string_view name) override {
    if (guard) return *guard;
    return guards->insert(String(name)).second ? GuardAnswer::Taken : GuardAnswer::AlreadyTaken;
  }
  String LocaleLanguageName() override { return localeName; }
  // GetPrivateProfileStringW drops the blanks around a value, then one pair of quotes around it.
  String ReadProfileValue(const ProfileKey& key) override {
    if (memoryRunsOut) throw std::bad_alloc();
    const auto found = profile.find(Slot(key));
    String value(found == profile.end() ? "" : Trim(found->second));
    const bool quoted = value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    return quoted ? value.substr(1, value.size() - 2) : value;
  }
  bool WriteProfileValue(const ProfileKey& key, std::string_view value) override {
    profile[Slot(key)] = value;
    return true;
  }
  std::optional<bool> ScriptingFileExists(std::string_view path) override {
    if (memoryRunsOut) throw std::bad_alloc();
    return scriptingWorks ? std::optional<bool>(files.count(path)) : std::nullopt;
  }
  bool FileSystemFileExists(std::string_view path) override { return files.count(path); }
  bool RemoveFile(std::string_view path) override {
    return !readOnly.count(path) && !running.count(path) && files.erase(String(path));
  }
  // CopyFileW gives the copy the source's attributes, read-only included.
  bool CopyFileOver(const FileMove& copy) override {
    if (!Move(copy, !readOnly.count(copy.to) && !running.count(copy.to), true)) return false;
    if (readOnly.count(copy.from)) readOnly.emplace(copy.to);
    return true;
  }
  bool MakeWritable(std::string_view path) override {
    readOnly.erase(String(path));
    return files.count(path);
  }
  bool RenameFile(const FileMove& move) override { return Move(move, !files.count(move.to), false); }
  bool StartProgram(std::string_view path) override {
    if (startWorks && files.count(path)) started.emplace_back(path);
    return startWorks && files.count(path);
  }
  void ShowMessage(const Message& message) override {
    messages.push_back(String(message.title) + "|" + String(message.text) +
                       (message.icon == MessageIcon::Exclamation ? "|!" : "|i"));
    if (whileMessageOpen) whileMessageOpen();
  }

  String Text(ControlId id) override { return controls[IndexOf(id)].text; }
  void SetText(ControlId id, std::string_view text) override { controls[IndexOf(id)].text = text; }
  int Left(ControlId id) override { return controls[IndexOf(id)].left; }
  void SetLeft(ControlId id, int left) override { controls[IndexOf(id)].left = left; }
  bool IsTicked(ControlId id) override { return id == ControlId::Check1 && ticked; }
  void Show() override { visible = Carried(); }
  void Hide() override { visible = false; }
  bool StartTimer(int ms) override {
    if (Carried() && timerWorks) tickMs = ms;
    return timerWorks;
  }
  void End(ExitStatus status) override {
    visible = !Carried();
    ended = status;
    tickMs.reset();
  }
  void PumpEvents() override {}

  void Start() { form.CarryOut(form.OnLoad()); }
  void Click() { form.CarryOut(form.OnOkClick()); }
  void Close() { form.CarryOut(form.OnClose()); }
  void Ticks(int most = 50) {  // fires the timer while it runs, `most` times at most
    for (int tick = 0; tick < most && tickMs; ++tick) form.CarryOut(form.OnTimerTick());
  }

 private:
  bool Carried() {  // counts what is carried out after the end; true, to go on with
    afterEnd += ended.has_value();
    return true;
  }
  static String Slot(const ProfileKey& key) {
    return String(key.path) + "|" + String(key.section) + "|" + String(key.key);
  }
  bool Move(const FileMove& move, bool allowed, bool keepSource) {
    const auto source = files.find(move.from);
    if (!allowed || source == files.end()) return false;
    files[String(move.to)] = source->second;
    if (!keepSource) files.erase(String(move.from));
    return true;
  }
};

}  // namespace brindle::fake
