#include "shell/Com.h"

#include <climits>

namespace brindle::win32 {

ComScope::ComScope() noexcept
    : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComScope::~ComScope() {
  if (initialized_) ::CoUninitialize();
}

UniqueBstr::UniqueBstr(std::wstring_view text) noexcept
    : bstr_(text.size() > UINT_MAX ? nullptr
                                   : ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

UniqueBstr::~UniqueBstr() {
  ::SysFreeString(bstr_);
}

}  // namespace brindle::win32
