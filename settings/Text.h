#pragma once
// Text helpers for the values the launcher reads as text: settings values, the command line and the
// count box.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

// Leading and trailing blanks (spaces and tabs) removed.
std::string_view Trim(std::string_view text);
// Case-sensitive substring test, as the switches are recognised anywhere in the command line.
bool Contains(std::string_view text, std::string_view part);

// Settings numbers are 32-bit. Blanks around the number and a sign are accepted; anything else
// (empty, letters, fractions, a value out of range) does not convert and gives 0.
std::int32_t ToInt32(std::string_view text);

std::string ToDecimal(std::int32_t value);

}  // namespace brindle
