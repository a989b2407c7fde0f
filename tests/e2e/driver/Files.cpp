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
