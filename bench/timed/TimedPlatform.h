#pragma once
// Tavu.exe's own platform with a stopwatch around every call: each call goes to the real Win32Platform
// unchanged and is logged as one step under the name of the operation. The log is written beside the
// executable just before the process ends, so the writing falls outside every measured step.

#include <string>
#include <string_view>
#include <utility>

#include "common/StepLog.h"
#include "platform/Platform.h"

namespace brindle::bench {

class TimedPlatform final : public Platform {
 public:
  TimedPlatform(Platform& inner, StepLog& log, std::wstring logPath) noexcept
      : inner_(inner), log_(log), logPath_(std::move(logPath)) {}

  std::string CommandLineArguments() override;
  std::string ExecutablePath() override;
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

  void InitCommonControls() override;
  void ShowMessage(const Message& message) override;
  void HideWindow() override;
  void ShowWindow() override;
  void EndProcess() override;
  void SetTimer(const TimerSetting& timer) override;
  void PumpEvents() override;

  std::string ControlText(ControlId id) override;
  bool SetControlText(ControlId id, std::string_view text) override;
  int ControlLeft(ControlId id) override;
  bool SetControlLeft(ControlId id, int left) override;
  int CheckValue(ControlId id) override;

 private:
  Platform& inner_;
  StepLog& log_;
  std::wstring logPath_;
};

}  // namespace brindle::bench
