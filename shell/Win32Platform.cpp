#include "shell/Win32Platform.h"

#include <vector>

#include "settings/Settings.h"
#include "shell/FileSystemObject.h"
#include "shell/Process.h"
#include "shell/Utf8.h"

namespace brindle::win32 {

std::string Win32Platform::CommandLineArguments() {
  const wchar_t* commandLine = ::GetCommandLineW();
  if (!commandLine) return {};
  return Narrow(ArgumentsAfterProgramName(commandLine));
}

std::string Win32Platform::ExecutablePath() {
  return Narrow(win32::ExecutablePath());
}

// The volume's serial number and the file's index, from the file opened for its attributes only and
// shared with everyone, so that nothing else is kept from it meanwhile.
std::optional<FileIdentity> Win32Platform::IdentityOf(std::string_view path) {
  const HANDLE opened = ::CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
  const UniqueKernelHandle file(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  BY_HANDLE_FILE_INFORMATION information{};
  if (!file || !::GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return FileIdentity{
      .volumeSerial = information.dwVolumeSerialNumber,
      .fileIndex = std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow};
}

std::string Win32Platform::UpperCase(std::string_view text) {
  std::wstring wide = Widen(text);
  if (!wide.empty()) ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

GuardAnswer Win32Platform::TakeInstanceGuard(std::string_view name) {
  InstanceGuard guard = win32::TakeInstanceGuard(Widen(name));
  instanceGuard_ = std::move(guard.mutex);
  return guard.answer;
}

std::string Win32Platform::LocaleLanguageName() {
  // The system's locale, which Windows calls the language for programs that are not Unicode; asked for
  // the size first, so that the text is never cut; the size counts the terminator.
  const LCID locale = ::GetSystemDefaultLCID();
  const int size = ::GetLocaleInfoW(locale, LOCALE_SNATIVELANGNAME, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(size), L'\0');
  const int copied = ::GetLocaleInfoW(locale, LOCALE_SNATIVELANGNAME, buffer.data(), size);
  return copied > 0 ? Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied - 1))) : "";
}

std::string Win32Platform::ReadProfileValue(const ProfileKey& key) {
  // The settings read no more than this; a longer value comes back cut to fit, terminator included.
  std::vector<wchar_t> buffer(settings::kReadBufferSize, L'\0');
  const DWORD copied =
      ::GetPrivateProfileStringW(Widen(key.section).c_str(), Widen(key.key).c_str(), L"", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), Widen(key.path).c_str());
  return Narrow(std::wstring_view(buffer.data(), copied < buffer.size() ? copied : buffer.size()));
}

bool Win32Platform::WriteProfileValue(const ProfileKey& key, std::string_view value) {
  return ::WritePrivateProfileStringW(Widen(key.section).c_str(), Widen(key.key).c_str(),
                                      Widen(value).c_str(), Widen(key.path).c_str()) != FALSE;
}

std::optional<bool> Win32Platform::ScriptingFileExists(std::string_view path) {
  return win32::ScriptingFileExists(Widen(path));
}

bool Win32Platform::FileSystemFileExists(std::string_view path) {
  return win32::FileSystemFileExists(Widen(path));
}

bool Win32Platform::RemoveFile(std::string_view path) {
  return ::DeleteFileW(Widen(path).c_str()) != FALSE;
}

bool Win32Platform::CopyFileOver(const FileMove& copy) {
  return ::CopyFileW(Widen(copy.from).c_str(), Widen(copy.to).c_str(), FALSE) != FALSE;
}

bool Win32Platform::RenameFile(const FileMove& move) {
  return ::MoveFileW(Widen(move.from).c_str(), Widen(move.to).c_str()) != FALSE;
}

bool Win32Platform::MakeWritable(std::string_view path) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attributes & FILE_ATTRIBUTE_READONLY)) return true;
  return ::SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != FALSE;
}

bool Win32Platform::StartProgram(std::string_view path) {
  return StartProgramFile(Widen(path));
}

void Win32Platform::ShowMessage(const Message& message) {
  // No owner, so the box also appears while Form1 is hidden; brought to the front, since nothing of
  // ours may be visible behind it.
  const UINT icon = message.icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
  ::MessageBoxW(nullptr, Widen(message.text).c_str(), Widen(message.title).c_str(),
                MB_OK | icon | MB_SETFOREGROUND | MB_TASKMODAL);
}

}  // namespace brindle::win32
