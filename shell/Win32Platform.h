#pragma once
// Platform on Win32: each operation maps to one system service and turns its failure into a value.
// Text crosses as UTF-8 and is widened here.

#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "shell/Handles.h"

namespace brindle::win32 {

class Win32Platform final : public Platform {
 public:
  std::string CommandLineArguments() override;
  std::string ExecutablePath() override;

  std::optional<FileIdentity> IdentityOf(std::string_view path) override;
  std::string UpperCase(std::string_view text) override;
  GuardAnswer TakeInstanceGuard(std::string_view name) override;

  std::string LocaleLanguageName() override;

  std::string ReadProfileValue(const ProfileKey& key) override;
  bool WriteProfileValue(const ProfileKey& key, std::string_view value) override;

  std::optional<bool> ScriptingFileExists(std::string_view path) override;
  bool FileSystemFileExists(std::string_view path) override;
  bool RemoveFile(std::string_view path) override;
  bool CopyFileOver(const FileMove& copy) override;
  bool RenameFile(const FileMove& move) override;
  bool MakeWritable(std::string_view path) override;
  bool StartProgram(std::string_view path) override;

  void ShowMessage(const Message& message) override;

 private:
  UniqueKernelHandle instanceGuard_;  // taken once at start-up, held until the process ends
};

}  // namespace brindle::win32
