#include "shell/Win32Platform.h"

#include <vector>

#include "settings/Settings.h"
#include "shell/FileSystemObject.h"
#include "shell/MessageLoop.h"
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

GuardAnswer Win32Platform::TakeInstanceGuard() {
  InstanceGuard guard = win32::TakeInstanceGuard(InstanceMutexName(win32::ExecutablePath()));
  instanceMutex_ = std::move(guard.mutex);
  return guard.answer;
}

std::string Win32Platform::LocaleLanguageName(int kind) {
  // Asked for the size first, so that the text is never cut; the size counts the terminator.
  const LCID locale = ::GetSystemDefaultLCID();
  const int size = ::GetLocaleInfoW(locale, static_cast<LCTYPE>(kind), nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(size), L'\0');
  const int copied = ::GetLocaleInfoW(locale, static_cast<LCTYPE>(kind), buffer.data(), size);
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

void Win32Platform::InitCommonControls() {
  ::InitCommonControls();
}

void Win32Platform::ShowMessage(const Message& message) {
  // No owner, so the box also appears while Form1 is hidden; brought to the front, since nothing of
  // ours may be visible behind it.
  const UINT icon = message.icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
  ::MessageBoxW(nullptr, Widen(message.text).c_str(), Widen(message.title).c_str(),
                MB_OK | icon | MB_SETFOREGROUND | MB_TASKMODAL);
}

void Win32Platform::CreateControls() {
  window_.CreateControls();
}

void Win32Platform::HideWindow() {
  window_.Hide();
}

void Win32Platform::PumpEvents() {
  PumpPendingMessages(window_.handle());
}

std::string Win32Platform::ControlText(ControlId id) {
  return Narrow(window_.Text(id));
}

bool Win32Platform::SetControlText(ControlId id, std::string_view text) {
  return window_.SetText(id, Widen(text));
}

int Win32Platform::ControlLeft(ControlId id) {
  return window_.Left(id);
}

bool Win32Platform::SetControlLeft(ControlId id, int left) {
  return window_.SetLeft(id, left);
}

int Win32Platform::CheckValue(ControlId id) {
  return window_.CheckValue(id);
}

}  // namespace brindle::win32
