#pragma once
// The core speaks UTF-8; Windows speaks UTF-16. These two are the only crossings between them.
// Invalid input is replaced (U+FFFD), never rejected; a failed conversion gives an empty text.

#include <string>
#include <string_view>

namespace brindle::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace brindle::win32
