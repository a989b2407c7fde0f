#pragma once
// The text rules of the values the launcher reads as text: settings values and the command line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

// Leading and trailing blanks (spaces and tabs) removed.
std::string_view Trim(std::string_view text);
// Case-sensitive substring test, as the switches are recognised anywhere in the command line.
bool Contains(std::string_view text, std::string_view part);

// A whole decimal number that fits 32 bits, with blanks around it and a sign allowed; nothing else
// (empty, letters, fractions, a value out of range) converts.
std::optional<std::int32_t> ParseWholeInt32(std::string_view text);

std::string ToDecimal(std::int32_t value);

}  // namespace brindle
