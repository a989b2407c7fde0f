#pragma once
// Platform on Win32: each operation maps to one system service and turns its failure into a value.
// Text crosses as UTF-8 and is widened here; control geometry crosses in twips.

#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "shell/Form1Window.h"
#include "shell/Handles.h"

namespace brindle::win32 {

class Win32Platform final : public Platform {
 public:
  explicit Win32Platform(Form1Window& window) noexcept : window_(window) {}

  std::string CommandLineArguments() override;
  std::string ExecutablePath() override;
  GuardAnswer TakeInstanceGuard() override;

  std::string LocaleLanguageName(int kind) override;

  std::string ReadProfileValue(const ProfileKey& key) override;
  bool WriteProfileValue(const ProfileKey& key, std::string_view value) override;

  std::optional<bool> ScriptingFileExists(std::string_view path) override;
  bool FileSystemFileExists(std::string_view path) override;
  bool RemoveFile(std::string_view path) override;
  bool CopyFileOver(const FileMove& copy) override;
  bool RenameFile(const FileMove& move) override;
  bool MakeWritable(std::string_view path) override;
  bool StartProgram(std::string_view path) override;

  void InitCommonControls() override;
  void ShowMessage(const Message& message) override;
  void HideWindow() override;
  void CreateControls() override;
  void PumpEvents() override;

  std::string ControlText(ControlId id) override;
  bool SetControlText(ControlId id, std::string_view text) override;
  int ControlLeft(ControlId id) override;
  bool SetControlLeft(ControlId id, int left) override;
  int CheckValue(ControlId id) override;

 private:
  Form1Window& window_;
  UniqueKernelHandle instanceMutex_;  // taken once at start-up, held until the process ends
};

}  // namespace brindle::win32
