#pragma once
// Move-only owners for the Win32 handles the test programs open. For the .cpp files of the driver and
// the stand-in only: this header brings in <windows.h>.

#include <windows.h>

#include <utility>

namespace brindle::e2e {

template <typename Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;

  UniqueHandle() = default;
  explicit UniqueHandle(Value value) : value_(value) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : value_(std::exchange(other.value_, Traits::Empty())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Traits::Empty()));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Value get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Empty(); }
  Value release() { return std::exchange(value_, Traits::Empty()); }
  void reset(Value value = Traits::Empty()) {
    if (value_ != Traits::Empty()) Traits::Close(value_);
    value_ = value;
  }

 private:
  Value value_ = Traits::Empty();
};

// Processes, threads, events: NULL means none.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return nullptr; }
  static void Close(Value handle) { ::CloseHandle(handle); }
};

// CreateFileW and CreateToolhelp32Snapshot report failure as INVALID_HANDLE_VALUE, not NULL.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Value handle) { ::CloseHandle(handle); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;

}  // namespace brindle::e2e
