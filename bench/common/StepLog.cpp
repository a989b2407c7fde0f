#include "common/StepLog.h"

#include <string>

#include "platform/win32/Handles.h"

namespace brindle::bench {
namespace {

Stamp PreciseSystemTime() noexcept {
  FILETIME time{};
  ::GetSystemTimePreciseAsFileTime(&time);
  return (static_cast<Stamp>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

StepLog::StepLog() noexcept {
  ::QueryPerformanceFrequency(&frequency_);
  ::QueryPerformanceCounter(&entryCounter_);
  entry_ = PreciseSystemTime();
}

Stamp StepLog::Now() const noexcept {
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  const std::int64_t ticks = counter.QuadPart - entryCounter_.QuadPart;
  if (frequency_.QuadPart <= 0) return entry_;
  // Whole seconds and the rest apart, so the product cannot overflow.
  const std::int64_t seconds = ticks / frequency_.QuadPart;
  const std::int64_t rest = ticks % frequency_.QuadPart;
  return entry_ + seconds * 10'000'000 + rest * 10'000'000 / frequency_.QuadPart;
}

void StepLog::Add(const char* name, Stamp begin, Stamp end) noexcept {
  if (count_ < steps_.size()) steps_[count_++] = {.name = name, .begin = begin, .end = end};
}

bool StepLog::WriteTo(std::wstring_view path) const noexcept {
  try {
    std::string text = "entry|" + std::to_string(entry_) + "|" + std::to_string(entry_) + "\r\n";
    for (std::size_t i = 0; i < count_; ++i)
      text += std::string(steps_[i].name) + "|" + std::to_string(steps_[i].begin) + "|" +
              std::to_string(steps_[i].end) + "\r\n";
    const std::wstring terminated(path);
    const win32::UniqueFileHandle file(::CreateFileW(terminated.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                     nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
  } catch (...) {
    return false;
  }
}

std::wstring ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD capacity = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace brindle::bench
