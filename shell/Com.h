#pragma once
// Owners for COM: the initialisation of the UI thread, interface pointers, BSTRs and VARIANTs.

#include <climits>
#include <string_view>
#include <utility>

#include "shell/Win32Api.h"

namespace brindle::win32 {

// Initialises COM for the calling thread as a single-threaded apartment; undone on scope exit
// when it succeeded.
class ComScope {
 public:
  ComScope() noexcept : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialized_) ::CoUninitialize();
  }

 private:
  bool initialized_;
};

// Holds one reference to a COM interface and releases it on scope exit.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&&) = delete;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  Interface* get() const noexcept { return pointer_; }
  Interface* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }

  // For functions that hand out a new reference through a void** out-parameter.
  void** put() noexcept {
    reset();
    return reinterpret_cast<void**>(&pointer_);
  }

  void reset() noexcept {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }

 private:
  Interface* pointer_ = nullptr;
};

// A BSTR allocated with SysAllocStringLen and freed on scope exit.
class UniqueBstr {
 public:
  explicit UniqueBstr(std::wstring_view text) noexcept
      : bstr_(text.size() > UINT_MAX ? nullptr
                                     : ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  ~UniqueBstr() { ::SysFreeString(bstr_); }

  BSTR get() const noexcept { return bstr_; }
  explicit operator bool() const noexcept { return bstr_ != nullptr; }

 private:
  BSTR bstr_;
};

// A VARIANT that is cleared on scope exit, whatever a call has put into it.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { ::VariantInit(&variant_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { ::VariantClear(&variant_); }

  VARIANT* get() noexcept { return &variant_; }
  const VARIANT& operator*() const noexcept { return variant_; }

 private:
  VARIANT variant_;
};

}  // namespace brindle::win32
