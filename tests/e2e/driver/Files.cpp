#include "driver/Files.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "driver/Clock.h"
#include "driver/OwnedHandle.h"
#include "driver/Text.h"

namespace brindle::e2e {
namespace {

std::filesystem::path FsPath(std::string_view path) {
  return std::filesystem::path(Widen(path));
}

std::wstring_view WithoutTrailingSlash(std::wstring_view path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.remove_suffix(1);
  return path;
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

bool SamePath(std::string_view a, std::string_view b) {
  const std::wstring wideA = Widen(a);
  const std::wstring wideB = Widen(b);
  const std::wstring_view left = WithoutTrailingSlash(wideA);
  const std::wstring_view right = WithoutTrailingSlash(wideB);
  return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                              static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

std::string TestExecutableFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return FolderOf(Narrow(path));
}

bool FileExists(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::string> ReadBytes(std::string_view path) {
  const FileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string content;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    content.append(buffer, read);
  return content;
}

bool WriteBytes(std::string_view path, std::string_view bytes) {
  const FileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool CopyFileTo(std::string_view from, std::string_view to) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) != FALSE;
}

bool DeletePath(std::string_view path) {
  return DeleteFileW(Widen(path).c_str()) != FALSE;
}

bool MakeFolders(std::string_view path) {
  std::error_code error;
  std::filesystem::create_directories(FsPath(path), error);
  return FolderExists(path);
}

bool RemoveTree(std::string_view path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::error_code error;
    std::filesystem::remove_all(FsPath(path), error);
    if (!FolderExists(path) && !FileExists(path)) return true;
    SleepFor(std::chrono::milliseconds(100));
  }
  return false;
}

std::vector<std::string> FileNames(std::string_view folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder), error)) {
    if (entry.is_regular_file(error)) names.push_back(Narrow(entry.path().filename().wstring()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace brindle::e2e

namespace brindle::e2e {
namespace {

constexpr std::chrono::seconds kDriveChangeTimeout{10};

bool IsWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::wstring DriveRoot(char letter) {
  return std::wstring{static_cast<wchar_t>(letter), L':', L'\\'};
}

bool DriveReachable(char letter) {
  return GetFileAttributesW(DriveRoot(letter).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<char> FreeDriveLetter() {
  const DWORD used = GetLogicalDrives();
  for (char letter = 'Y'; letter >= 'D'; --letter) {
    if ((used & (1u << (letter - 'A'))) == 0 && !DriveReachable(letter)) return letter;
  }
  return std::nullopt;
}

template <typename Condition>
bool WaitUntil(Condition condition) {
  const Timestamp deadline = Later(Now(), kDriveChangeTimeout);
  while (!condition()) {
    if (Now() > deadline) return false;
    SleepFor(std::chrono::milliseconds(20));
  }
  return true;
}

// The drive shows the folder: a file placed in the folder is seen at the drive's root.
bool DriveShowsFolder(char letter, std::string_view folder) {
  constexpr std::string_view kProbe = "mapped-drive.probe";
  const std::string inFolder = JoinPath(folder, kProbe);
  if (!WriteBytes(inFolder, "probe")) return false;
  const bool seen = WaitUntil([&] { return FileExists(Narrow(DriveRoot(letter)) + std::string(kProbe)); });
  DeletePath(inFolder);
  return seen;
}

// Wine's own exports for its two kinds of path; both hand back memory of the process heap.
std::optional<std::string> WineUnixPath(std::string_view windowsPath) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto convert = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return std::nullopt;
  char* unixPath = convert(Widen(windowsPath).c_str());
  if (!unixPath) return std::nullopt;
  std::string result(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

std::optional<std::wstring> WineDosPath(const std::string& unixPath) {
  using DosFileName = wchar_t*(CDECL*)(const char*);
  const auto convert = reinterpret_cast<DosFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!convert) return std::nullopt;
  wchar_t* dosPath = convert(unixPath.c_str());
  if (!dosPath) return std::nullopt;
  std::wstring result(dosPath);
  HeapFree(GetProcessHeap(), 0, dosPath);
  return result;
}

// Where Wine keeps its drive letters: the folder the link "c:" for drive C: lives in.
std::optional<std::string> WineDriveLinkFolder() {
  std::optional<std::string> cDrive = WineUnixPath("C:\\");
  if (!cDrive) return std::nullopt;
  while (!cDrive->empty() && cDrive->back() == '/') cDrive->pop_back();
  constexpr std::string_view kLink = "/c:";
  if (!std::string_view(*cDrive).ends_with(kLink)) return std::nullopt;
  cDrive->resize(cDrive->size() - kLink.size() + 1);
  return *cDrive;
}

// Wine runs a Unix program started from a Windows one directly, with the command line split into its
// arguments by Windows' quoting rules; it hands back no handle, so the caller waits for the effect.
bool StartUnixProgram(const std::string& program, std::initializer_list<std::string_view> arguments) {
  const std::optional<std::wstring> application = WineDosPath(program);
  if (!application) return false;
  std::wstring commandLine = L"\"" + Widen(program) + L"\"";
  for (std::string_view argument : arguments) commandLine += L" \"" + Widen(argument) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  return true;
}

}  // namespace

std::optional<LockedFile> LockedFile::Lock(std::string_view path) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  return LockedFile(file);
}

LockedFile::~LockedFile() {
  Unlock();
}

LockedFile::LockedFile(LockedFile&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
  if (this != &other) {
    Unlock();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

void LockedFile::Unlock() {
  if (handle_) CloseHandle(std::exchange(handle_, nullptr));
}

std::optional<MappedDrive> MappedDrive::Map(std::string_view folder) {
  const std::optional<char> letter = FreeDriveLetter();
  if (!letter) return std::nullopt;
  const std::wstring device{static_cast<wchar_t>(*letter), L':'};
  if (!IsWine()) {
    if (!DefineDosDeviceW(0, device.c_str(), Widen(folder).c_str())) return std::nullopt;
    MappedDrive drive(*letter, Kind::DosDevice, std::string(folder), {});
    if (!DriveShowsFolder(*letter, folder)) return std::nullopt;
    return drive;
  }
  const std::optional<std::string> linkFolder = WineDriveLinkFolder();
  const std::optional<std::string> target = WineUnixPath(folder);
  if (!linkFolder || !target) return std::nullopt;
  const std::string link = *linkFolder + static_cast<char>(*letter - 'A' + 'a') + ":";
  // -f -n: a link left behind by an earlier run that was killed is replaced, not followed.
  if (!StartUnixProgram("/bin/ln", {"-s", "-f", "-n", *target, link})) return std::nullopt;
  MappedDrive drive(*letter, Kind::WineLink, std::string(folder), link);
  if (!DriveShowsFolder(*letter, folder)) return std::nullopt;
  return drive;
}

MappedDrive::~MappedDrive() {
  Unmap();
}

MappedDrive::MappedDrive(MappedDrive&& other) noexcept
    : letter_(other.letter_),
      kind_(std::exchange(other.kind_, Kind::None)),
      folder_(std::move(other.folder_)),
      link_(std::move(other.link_)) {}

MappedDrive& MappedDrive::operator=(MappedDrive&& other) noexcept {
  if (this != &other) {
    Unmap();
    letter_ = other.letter_;
    kind_ = std::exchange(other.kind_, Kind::None);
    folder_ = std::move(other.folder_);
    link_ = std::move(other.link_);
  }
  return *this;
}

std::string MappedDrive::Root() const {
  return Narrow(DriveRoot(letter_));
}

bool MappedDrive::Unmap() {
  const Kind kind = std::exchange(kind_, Kind::None);
  if (kind == Kind::None) return true;
  if (kind == Kind::DosDevice) {
    const std::wstring device{static_cast<wchar_t>(letter_), L':'};
    DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device.c_str(),
                     Widen(folder_).c_str());
  } else {
    StartUnixProgram("/bin/rm", {"-f", link_});
  }
  return WaitUntil([&] { return !DriveReachable(letter_); });
}

}  // namespace brindle::e2e
