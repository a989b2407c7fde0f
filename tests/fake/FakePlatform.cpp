#include "fake/FakePlatform.h"

#include "window/Controls.h"
#include "window/Texts.h"

namespace brindle::fake {

FakePlatform::FakePlatform() {
  // The window as the toolkit builds it: German texts, design geometry.
  for (const auto& row : kControls) {
    controls[row.id] = {.text = std::string(GermanTextOf(row.id).value_or("")), .left = row.left, .check = 0};
  }
  controls[ControlId::Text1].text = std::string(kText1Initial);
}

std::string FakePlatform::FileIn(const std::string& name) const {
  return executablePath.substr(0, executablePath.find_last_of('\\') + 1) + name;
}

std::string FakePlatform::SettingsPath() const {
  return FileIn("tavu.ini");
}

std::string FakePlatform::ProfileSlot(const ProfileKey& key) {
  return std::string(key.path) + "|" + std::string(key.section) + "|" + std::string(key.key);
}

std::optional<std::string> FakePlatform::Setting(const std::string& key) const {
  const auto found = profile.find(SettingsPath() + "|Brindle|" + key);
  if (found == profile.end()) return std::nullopt;
  return found->second;
}

void FakePlatform::SetSetting(const std::string& key, const std::string& value) {
  profile[SettingsPath() + "|Brindle|" + key] = value;
}

bool FakePlatform::FireTimer(FormEvents& events) {
  if (ended || !timer || !timer->enabled) return false;
  events.OnTimerTick();
  return true;
}

int FakePlatform::RunTimerUntilEnded(FormEvents& events, int limit) {
  int fired = 0;
  while (fired < limit && FireTimer(events)) ++fired;
  return fired;
}

bool FakePlatform::AnotherInstanceRunning() {
  calls.push_back("InstanceGuard");
  return anotherInstance;
}

int FakePlatform::LocaleInfoSize(int kind) {
  localeSizeAsked = kind;
  return localeName ? static_cast<int>(localeName->size()) + 1 : 0;
}

std::string FakePlatform::LocaleInfo(int kind, int bufferSize) {
  localeBufferGiven = bufferSize;
  if (!localeName || kind != kLocaleNativeLanguageName || bufferSize <= 0) return {};
  // Like the real query, the text never comes back longer than the buffer leaves room for.
  return localeName->substr(0, static_cast<std::size_t>(bufferSize - 1));
}

std::string FakePlatform::ReadProfileString(const ProfileKey& key, int bufferSize) {
  const auto found = profile.find(ProfileSlot(key));
  if (found == profile.end() || bufferSize <= 0) return {};
  return found->second.substr(0, static_cast<std::size_t>(bufferSize - 1));
}

bool FakePlatform::WriteProfileString(const ProfileKey& key, std::string_view value) {
  calls.push_back("Write " + std::string(key.key) + "=" + std::string(value));
  if (profileReadOnly) return false;
  profile[ProfileSlot(key)] = std::string(value);
  return true;
}

bool FakePlatform::FileExists(std::string_view path) {
  return files.count(std::string(path)) != 0;
}

bool FakePlatform::DeleteFile(std::string_view path) {
  calls.push_back("Delete " + std::string(path));
  if (lockedFiles.count(std::string(path))) return false;
  return files.erase(std::string(path)) != 0;
}

bool FakePlatform::CopyFile(const FileMove& copy) {
  calls.push_back("Copy " + std::string(copy.from) + " -> " + std::string(copy.to));
  const auto source = files.find(std::string(copy.from));
  if (copyFails || source == files.end() || lockedFiles.count(std::string(copy.to))) return false;
  files[std::string(copy.to)] = source->second;
  return true;
}

bool FakePlatform::RenameFile(const FileMove& move) {
  calls.push_back("Rename " + std::string(move.from) + " -> " + std::string(move.to));
  const auto source = files.find(std::string(move.from));
  if (source == files.end() || files.count(std::string(move.to))) return false;
  files[std::string(move.to)] = source->second;
  files.erase(source);
  return true;
}

bool FakePlatform::StartProgram(std::string_view path) {
  calls.push_back("Start " + std::string(path));
  if (startFails || !files.count(std::string(path))) return false;
  startedPrograms.emplace_back(path);
  return true;
}

void FakePlatform::ShowMessage(const Message& message) {
  RecordedMessage recorded{std::string(message.text), std::string(message.title), message.icon};
  calls.push_back("Message " + recorded.text);
  messages.push_back(recorded);
  if (whileMessageOpen) whileMessageOpen(recorded);
}

void FakePlatform::HideWindow() {
  calls.push_back("Hide");
  windowVisible = false;
}

void FakePlatform::ShowWindow() {
  calls.push_back("Show");
  windowVisible = true;
}

void FakePlatform::EndProcess() {
  calls.push_back("End");
  ended = true;
  windowVisible = false;
}

void FakePlatform::SetTimer(const TimerSetting& setting) {
  calls.push_back("Timer " + std::to_string(setting.intervalMs) + (setting.enabled ? " on" : " off"));
  timer = setting;
}

bool FakePlatform::SetControlText(ControlId id, std::string_view text) {
  controls[id].text = std::string(text);
  return true;
}

bool FakePlatform::SetControlLeft(ControlId id, int left) {
  controls[id].left = left;
  return true;
}

}  // namespace brindle::fake
