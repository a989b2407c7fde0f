#include "driver/Process.h"

#include <windows.h>
// needs <windows.h> first
#include <tlhelp32.h>

#include "driver/Files.h"
#include "driver/OwnedHandle.h"
#include "driver/Text.h"

namespace brindle::e2e {
namespace {

bool SameVariable(std::wstring_view entry, std::wstring_view name) {
  return entry.size() > name.size() && entry[name.size()] == L'=' &&
         CompareStringOrdinal(entry.data(), static_cast<int>(name.size()), name.data(),
                              static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

std::vector<std::wstring> CurrentEnvironment() {
  std::vector<std::wstring> entries;
  wchar_t* block = GetEnvironmentStringsW();
  if (!block) return entries;
  for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) entries.emplace_back(entry);
  FreeEnvironmentStringsW(block);
  return entries;
}

// The test's environment with the changes applied, as a block for CreateProcessW.
std::wstring EnvironmentBlock(const std::vector<EnvironmentChange>& changes) {
  std::vector<std::wstring> entries = CurrentEnvironment();
  for (const EnvironmentChange& change : changes) {
    const std::wstring name = Widen(change.name);
    std::erase_if(entries, [&](const std::wstring& entry) { return SameVariable(entry, name); });
    if (change.value) entries.push_back(name + L"=" + Widen(*change.value));
  }
  std::wstring block;
  for (const std::wstring& entry : entries) block += entry + L'\0';
  block += L'\0';
  return block;
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The running process whose executable is the given file, opened for waiting and ending it.
std::optional<std::pair<HANDLE, DWORD>> OpenProcessByImage(const std::wstring& exePath) {
  const FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::nullopt;
  const std::wstring fileName = FileNameOf(exePath);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (CompareStringOrdinal(entry.szExeFile, -1, fileName.c_str(), -1, TRUE) != CSTR_EQUAL) continue;
    KernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                                     FALSE, entry.th32ProcessID));
    if (!process) continue;
    wchar_t image[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    if (QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
        SamePath(Narrow(image), Narrow(exePath))) {
      return std::make_pair(process.release(), entry.th32ProcessID);
    }
  }
  return std::nullopt;
}

// What CreateProcessW needs to start a program as the options say.
struct LaunchParts {
  std::wstring application;
  std::wstring commandLine;  // quoted program path, then the arguments
  std::wstring folder;
  std::wstring environment;  // empty: the test's own
  wchar_t* EnvironmentOrNull() { return environment.empty() ? nullptr : environment.data(); }
};

LaunchParts PrepareLaunch(std::string_view exePath, const LaunchOptions& options) {
  LaunchParts parts;
  parts.application = Widen(exePath);
  parts.commandLine = L"\"" + parts.application + L"\"";
  if (!options.arguments.empty()) parts.commandLine += L" " + Widen(options.arguments);
  parts.folder = Widen(options.workingFolder ? *options.workingFolder : FolderOf(exePath));
  if (!options.environment.empty()) parts.environment = EnvironmentBlock(options.environment);
  return parts;
}

}  // namespace

void KernelHandleCloser::operator()(void* handle) const noexcept {
  if (handle) CloseHandle(handle);
}

Process::Process(void* handle, unsigned long pid, Timestamp started)
    : handle_(handle), pid_(pid), started_(started) {}

Process::~Process() {
  if (handle_ && !ended_) Kill();
}

std::optional<Process> Process::Start(std::string_view exePath, const LaunchOptions& options) {
  if (options.wineLocale) return StartWithWineLocale(exePath, options);
  LaunchParts parts = PrepareLaunch(exePath, options);
  const Timestamp started = Now();

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(parts.application.c_str(), parts.commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, parts.EnvironmentOrNull(), parts.folder.c_str(), &startup,
                      &process)) {
    return std::nullopt;
  }
  CloseHandle(process.hThread);
  return Process(process.hProcess, process.dwProcessId, started);
}

// Wine runs a Unix program started from a Windows one directly, with the command line split into its
// arguments; env sets the locale and starts the Windows program through wine, which then runs as a
// process of the same Wine session.
std::optional<Process> Process::StartWithWineLocale(std::string_view exePath, const LaunchOptions& options) {
  const std::wstring application = L"Z:\\usr\\bin\\env";
  std::wstring commandLine = L"env -u LC_ALL -u LC_CTYPE -u LC_MESSAGES LANG=" + Widen(*options.wineLocale) +
                             L" wine \"" + Widen(exePath) + L"\"";
  if (!options.arguments.empty()) commandLine += L" " + Widen(options.arguments);
  const std::wstring folder = Widen(options.workingFolder ? *options.workingFolder : FolderOf(exePath));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const Timestamp started = Now();
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return std::nullopt;
  }
  // Wine hands back no handle for a Unix program.
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);

  const std::wstring image = Widen(exePath);
  const Timestamp deadline = Later(started, std::chrono::seconds(60));
  while (Now() < deadline) {
    if (const std::optional<std::pair<HANDLE, DWORD>> found = OpenProcessByImage(image)) {
      return Process(found->first, found->second, started);
    }
    SleepFor(std::chrono::milliseconds(50));
  }
  return std::nullopt;
}

double Process::LifetimeSeconds() const {
  return SecondsBetween(started_, ended_ ? *ended_ : Now());
}

bool Process::WaitForExit(std::chrono::milliseconds timeout) {
  if (ended_) return true;
  if (!handle_) return true;
  if (WaitForSingleObject(handle_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return false;
  ended_ = Now();
  return true;
}

std::optional<unsigned long> Process::ExitCode() const {
  DWORD code = 0;
  if (!handle_ || !GetExitCodeProcess(handle_.get(), &code) || code == STILL_ACTIVE) return std::nullopt;
  return code;
}

void Process::Kill() {
  if (!handle_) return;
  TerminateProcess(handle_.get(), 1);
  WaitForExit(std::chrono::seconds(10));
}

}  // namespace brindle::e2e

namespace brindle::e2e {
namespace {

struct Suspended {
  HANDLE process = nullptr;
  HANDLE thread = nullptr;
  DWORD pid = 0;
};

void EndSuspended(std::vector<Suspended>& created) {
  for (const Suspended& one : created) {
    TerminateProcess(one.process, 1);
    CloseHandle(one.thread);
    CloseHandle(one.process);
  }
  created.clear();
}

}  // namespace

std::vector<Process> Process::StartTogether(std::string_view exePath, const LaunchOptions& options,
                                            int count) {
  if (options.wineLocale) return {};
  LaunchParts parts = PrepareLaunch(exePath, options);

  std::vector<Suspended> created;
  for (int index = 0; index < count; ++index) {
    std::wstring line = parts.commandLine;  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(parts.application.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, parts.EnvironmentOrNull(),
                        parts.folder.c_str(), &startup, &process)) {
      EndSuspended(created);
      return {};
    }
    created.push_back({process.hProcess, process.hThread, process.dwProcessId});
  }

  const Timestamp started = Now();
  for (const Suspended& one : created) ResumeThread(one.thread);
  std::vector<Process> processes;
  for (const Suspended& one : created) {
    CloseHandle(one.thread);
    processes.push_back(Process(one.process, one.pid, started));
  }
  return processes;
}

}  // namespace brindle::e2e
