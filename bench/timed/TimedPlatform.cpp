#include "timed/TimedPlatform.h"

namespace brindle::bench {

std::string TimedPlatform::CommandLineArguments() {
  const TimedStep step(log_, "CommandLineArguments");
  return inner_.CommandLineArguments();
}

std::string TimedPlatform::ExecutablePath() {
  const TimedStep step(log_, "ExecutablePath");
  return inner_.ExecutablePath();
}

bool TimedPlatform::AnotherInstanceRunning() {
  const TimedStep step(log_, "AnotherInstanceRunning");
  return inner_.AnotherInstanceRunning();
}

int TimedPlatform::LocaleInfoSize(int kind) {
  const TimedStep step(log_, "LocaleInfoSize");
  return inner_.LocaleInfoSize(kind);
}

std::string TimedPlatform::LocaleInfo(int kind, int bufferSize) {
  const TimedStep step(log_, "LocaleInfo");
  return inner_.LocaleInfo(kind, bufferSize);
}

std::string TimedPlatform::ReadProfileString(const ProfileKey& key, int bufferSize) {
  const TimedStep step(log_, "ReadProfileString");
  return inner_.ReadProfileString(key, bufferSize);
}

bool TimedPlatform::WriteProfileString(const ProfileKey& key, std::string_view value) {
  const TimedStep step(log_, "WriteProfileString");
  return inner_.WriteProfileString(key, value);
}

bool TimedPlatform::FileExists(std::string_view path) {
  const TimedStep step(log_, "FileExists");
  return inner_.FileExists(path);
}

bool TimedPlatform::DeleteFile(std::string_view path) {
  const TimedStep step(log_, "DeleteFile");
  return inner_.DeleteFile(path);
}

bool TimedPlatform::CopyFile(const FileMove& copy) {
  const TimedStep step(log_, "CopyFile");
  return inner_.CopyFile(copy);
}

bool TimedPlatform::RenameFile(const FileMove& move) {
  const TimedStep step(log_, "RenameFile");
  return inner_.RenameFile(move);
}

bool TimedPlatform::StartProgram(std::string_view path) {
  const TimedStep step(log_, "StartProgram");
  return inner_.StartProgram(path);
}

void TimedPlatform::InitCommonControls() {
  const TimedStep step(log_, "InitCommonControls");
  inner_.InitCommonControls();
}

void TimedPlatform::ShowMessage(const Message& message) {
  const TimedStep step(log_, "ShowMessage");
  inner_.ShowMessage(message);
}

void TimedPlatform::HideWindow() {
  const TimedStep step(log_, "HideWindow");
  inner_.HideWindow();
}

void TimedPlatform::ShowWindow() {
  const TimedStep step(log_, "ShowWindow");
  inner_.ShowWindow();
}

void TimedPlatform::EndProcess() {
  // The real call does not come back: the log has to be out before it.
  log_.Add("EndProcess", log_.Now(), log_.Now());
  log_.WriteTo(logPath_);
  inner_.EndProcess();
}

void TimedPlatform::SetTimer(const TimerSetting& timer) {
  const TimedStep step(log_, "SetTimer");
  inner_.SetTimer(timer);
}

void TimedPlatform::PumpEvents() {
  const TimedStep step(log_, "PumpEvents");
  inner_.PumpEvents();
}

std::string TimedPlatform::ControlText(ControlId id) {
  return inner_.ControlText(id);
}

bool TimedPlatform::SetControlText(ControlId id, std::string_view text) {
  return inner_.SetControlText(id, text);
}

int TimedPlatform::ControlLeft(ControlId id) {
  return inner_.ControlLeft(id);
}

bool TimedPlatform::SetControlLeft(ControlId id, int left) {
  return inner_.SetControlLeft(id, left);
}

int TimedPlatform::CheckValue(ControlId id) {
  return inner_.CheckValue(id);
}

}  // namespace brindle::bench
