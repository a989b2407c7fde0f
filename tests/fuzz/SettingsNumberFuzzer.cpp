// Fuzz target settings_number: the numbers the launcher keeps in tavu.ini.
//
// The input is what the profile reader could hand back for LastNr, MaxNr and Starts, one value a line
// (a missing line is an absent key, read as the empty string). Each text must convert exactly as the
// model below says; each value must be written back as plain decimal and read back unchanged; and the
// slot count, the next slot and the launch counter derived from them must stay in range and never
// overflow. The first twelve bytes are also taken as three raw 32-bit values, so the extremes of the
// counters are reached directly.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "launcher/Launch.h"
#include "settings/Settings.h"

namespace {

using brindle::fuzz::Expect;
using brindle::fuzz::Require;

constexpr long long kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr long long kInt32Max = std::numeric_limits<std::int32_t>::max();

// --- The reference model ------------------------------------------------------------------------

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Blanks around, at most one sign, then one or more digits and nothing else; the value must fit 32
// bits. Everything else does not convert.
std::optional<std::int32_t> ModelInt32(std::string_view text) {
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && IsBlank(text[first])) ++first;
  while (end > first && IsBlank(text[end - 1])) --end;
  bool negative = false;
  if (first < end && (text[first] == '+' || text[first] == '-')) {
    negative = text[first] == '-';
    ++first;
  }
  if (first == end) return std::nullopt;
  long long magnitude = 0;
  for (std::size_t i = first; i < end; ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    // Past 2^31 no 32-bit value is left, and stopping here keeps the sum far from overflowing.
    if (magnitude > -kInt32Min) return std::nullopt;
  }
  const long long value = negative ? -magnitude : magnitude;
  if (value < kInt32Min || value > kInt32Max) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// Plain decimal digits, a minus sign only for a negative value, no leading zeros.
std::string ModelDecimal(std::int32_t value) {
  const long long wide = value;
  unsigned long long magnitude = static_cast<unsigned long long>(wide < 0 ? -wide : wide);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  return value < 0 ? "-" + digits : digits;
}

long long ModelSlotCount(long long maxNr) {
  return maxNr >= 2 && maxNr <= 99 ? maxNr : 5;
}

long long ModelNextSlot(long long lastSlot, long long slotCount) {
  return lastSlot >= 0 && lastSlot < slotCount ? lastSlot + 1 : 1;
}

long long ModelNextLaunchCount(long long launches) {
  return launches + 1 > kInt32Max ? kInt32Max : launches + 1;
}

// --- The checks -----------------------------------------------------------------------------------

// The three values a launch reads, as they are described in a finding.
struct Counters {
  std::int32_t lastNr;
  std::int32_t maxNr;
  std::int32_t starts;
};

std::string Describe(const Counters& counters) {
  return "LastNr " + std::to_string(counters.lastNr) + ", MaxNr " + std::to_string(counters.maxNr) +
         ", Starts " + std::to_string(counters.starts);
}

void CheckText(std::string_view text) {
  const std::optional<std::int32_t> expected = ModelInt32(text);
  Expect("ParseInt32", text, expected, brindle::ParseInt32(text));
  Expect<long long>("ToInt32", text, expected.value_or(0), brindle::ToInt32(text));
}

void CheckDecimal(std::int32_t value) {
  const std::string written = brindle::ToDecimal(value);
  Expect<std::string>("ToDecimal", value, ModelDecimal(value), written);
  Expect<std::optional<std::int32_t>>("ParseInt32 of ToDecimal", written, value,
                                      brindle::ParseInt32(written));
}

// What the launch makes of the three values it reads.
void CheckCounters(std::int32_t lastNr, std::int32_t maxNr, std::int32_t starts) {
  const Counters input{lastNr, maxNr, starts};

  const std::int32_t slotCount = brindle::ValidSlotCount(maxNr);
  Expect<long long>("ValidSlotCount", input, ModelSlotCount(maxNr), slotCount);

  const std::int32_t slot = brindle::NextSlot(lastNr, slotCount);
  Expect<long long>("NextSlot", input, ModelNextSlot(lastNr, slotCount), slot);
  Require(slot >= 1 && slot <= slotCount, "NextSlot stays in 1..ValidSlotCount", input, slot);

  // Unchecked slot counts too: any value must restart at 1 rather than step past it.
  Expect<long long>("NextSlot with the raw MaxNr", input, ModelNextSlot(lastNr, maxNr),
                    brindle::NextSlot(lastNr, maxNr));

  const std::int32_t launches = brindle::NextLaunchCount(starts);
  Expect<long long>("NextLaunchCount", input, ModelNextLaunchCount(starts), launches);

  CheckDecimal(slot);
  CheckDecimal(launches);
}

// The n-th line of the input, or the empty string when there is none.
std::string_view Line(std::string_view input, int n) {
  for (int i = 0; i < n; ++i) {
    const std::size_t newline = input.find('\n');
    if (newline == std::string_view::npos) return {};
    input.remove_prefix(newline + 1);
  }
  return input.substr(0, input.find('\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckText(input);

  const std::array<std::string_view, 3> lines{Line(input, 0), Line(input, 1), Line(input, 2)};
  for (const std::string_view line : lines) CheckText(line);
  CheckCounters(brindle::ToInt32(lines[0]), brindle::ToInt32(lines[1]), brindle::ToInt32(lines[2]));

  if (size >= 3 * sizeof(std::int32_t)) {
    std::array<std::int32_t, 3> raw{};
    std::memcpy(raw.data(), data, sizeof raw);
    for (const std::int32_t value : raw) CheckDecimal(value);
    CheckCounters(raw[0], raw[1], raw[2]);
  }
  return 0;
}
