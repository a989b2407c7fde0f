#include "shell/Process.h"

namespace brindle::win32 {

std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine) noexcept {
  std::size_t end = 0;
  if (!commandLine.empty() && commandLine.front() == L'"') {
    const std::size_t closingQuote = commandLine.find(L'"', 1);
    end = closingQuote == std::wstring_view::npos ? commandLine.size() : closingQuote + 1;
  } else {
    end = commandLine.find_first_of(L" \t");
    if (end == std::wstring_view::npos) end = commandLine.size();
  }
  return commandLine.substr(end);
}

std::wstring ExecutablePath() {
  // MAX_PATH is not a limit any longer; grow until the whole path fits (a truncated result fills
  // the buffer exactly).
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD capacity = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 0x10000) return {};
    path.resize(path.size() * 2);
  }
}

InstanceGuard TakeInstanceGuard(const std::wstring& mutexName) noexcept {
  InstanceGuard guard;
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, mutexName.c_str());
  const DWORD error = ::GetLastError();  // read before any other call can change it
  guard.mutex.reset(mutex);
  if (mutex)
    guard.answer = error == ERROR_ALREADY_EXISTS ? GuardAnswer::AlreadyTaken : GuardAnswer::Taken;
  else
    guard.answer = error == ERROR_ACCESS_DENIED ? GuardAnswer::AccessDenied : GuardAnswer::Failed;
  return guard;
}

bool StartProgramFile(const std::wstring& path) {
  // The application name is given explicitly and the command line quotes it: an unquoted path with
  // blanks ("C:\Program Files\...") would otherwise be tried piece by piece, starting C:\Program.exe.
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
    return false;
  UniqueKernelHandle process(started.hProcess);
  UniqueKernelHandle thread(started.hThread);
  return true;
}

}  // namespace brindle::win32
