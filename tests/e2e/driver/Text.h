#pragma once
// UTF-8 <-> UTF-16. The driver's interface speaks UTF-8; Windows is called with UTF-16.

#include <string>
#include <string_view>

namespace brindle::e2e {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace brindle::e2e
