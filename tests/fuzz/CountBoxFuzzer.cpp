// Fuzz target count_box: the count box text becoming the slot count when OK is pressed.
//
// The input is any text (typing and pasting can put little more than two characters in the box, but
// the conversion must hold for every text). ParseCount must read it as a decimal number rounded
// down, as a 16-bit value, exactly as the model below; CountFromText must give that value when it
// lies in 2..99 and 5 otherwise. The text's first two characters, which is what a paste into the
// empty box leaves, are checked too, and the first two bytes taken as a 16-bit value must survive
// ToDecimal and ParseCount.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "settings/Settings.h"
#include "window/CountEntry.h"

namespace {

using brindle::fuzz::Expect;
using brindle::fuzz::Require;

// --- The reference model ------------------------------------------------------------------------

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool AllDigits(std::string_view text) {
  return text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Blanks around, at most one sign, then digits with at most one decimal point among or after them
// and at least one digit in all. The value is the whole part, one further down when a negative
// number has a fraction that is not all zeros; it must fit 16 bits.
std::optional<std::int16_t> ModelCount(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
  if (!AllDigits(whole) || !AllDigits(fraction) || whole.size() + fraction.size() == 0) return std::nullopt;

  // Leading zeros say nothing; with more than five digits left no 16-bit value is possible.
  whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.size() > 5) return std::nullopt;
  const long magnitude = whole.empty() ? 0 : std::stol(std::string(whole));
  const bool hasFraction = fraction.find_first_not_of('0') != std::string_view::npos;
  const long value = negative ? -magnitude - (hasFraction ? 1 : 0) : magnitude;
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

long ModelCountFromText(std::string_view text) {
  const long count = ModelCount(text).value_or(0);
  return count >= 2 && count <= 99 ? count : 5;
}

// --- The checks -----------------------------------------------------------------------------------

void CheckText(std::string_view text) {
  const std::optional<std::int16_t> expected = ModelCount(text);
  Expect("ParseCount", text, expected, brindle::ParseCount(text));
  const std::int16_t count = brindle::CountFromText(text);
  Expect<long long>("CountFromText", text, ModelCountFromText(text), count);
  Require(count >= 2 && count <= 99, "CountFromText lies in 2..99", text, count);

  // Whole numbers read the same as a settings value would, wherever both fit.
  const std::optional<std::int32_t> asSetting = brindle::ParseInt32(text);
  if (asSetting && *asSetting >= -32768 && *asSetting <= 32767)
    Expect<std::optional<std::int16_t>>("ParseCount agrees with ParseInt32", text,
                                        static_cast<std::int16_t>(*asSetting), brindle::ParseCount(text));
}

void CheckRoundTrip(std::int16_t value) {
  const std::string written = brindle::ToDecimal(value);
  Expect<std::optional<std::int16_t>>("ParseCount of ToDecimal", written, value,
                                      brindle::ParseCount(written));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckText(input);
  CheckText(input.substr(0, 2));
  if (size >= sizeof(std::int16_t)) {
    std::int16_t value = 0;
    std::memcpy(&value, data, sizeof value);
    CheckRoundTrip(value);
  }
  return 0;
}
