#include "window/CountEntry.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "settings/Settings.h"
#include "settings/ValueText.h"
#include "window/Wording.h"

namespace brindle {

namespace {

bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}

// Digits and Backspace pass unchanged; every other code becomes kSwallowKey.
int DigitsOnly(int code) {
  return IsDigit(code) || code == kBackspace ? code : kSwallowKey;
}

// A decimal number, with blanks around it, a sign and a fraction allowed, rounded down to a whole
// 16-bit number; nullopt when it does not convert or does not fit.
std::optional<std::int16_t> ParseRoundedDownInt16(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  constexpr long long kBeyond16Bit = 1LL << 16;
  long long whole = 0;
  std::size_t digits = 0;
  std::size_t i = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
    if (whole < kBeyond16Bit) whole = whole * 10 + (text[i] - '0');
  bool fraction = false;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits)
      if (text[i] != '0') fraction = true;
  }
  if (digits == 0 || i != text.size()) return std::nullopt;
  // Rounded down: a negative number with a fraction goes one further from zero.
  const long long value = negative ? -whole - (fraction ? 1 : 0) : whole;
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  return static_cast<std::int16_t>(value);
}

// The slot count the box asks for: 5 when the text does not convert or lies outside 2..99.
std::int16_t CountFromText(std::string_view text) {
  const std::int16_t count = ParseRoundedDownInt16(text).value_or(0);
  return static_cast<std::int16_t>(ValidSlotCount(count));
}

}  // namespace

int FilterCountBoxKey(int code) {
  return code == kPaste ? code : DigitsOnly(code);
}

void ConfirmCount(Platform& platform, Window& window, const Confirmation& confirmation) {
  window.Hide();
  const SettingsFile ini(platform, confirmation.settingsPath);
  ini.WriteNumber(settings::kMaxNr, CountFromText(window.Text(ControlId::Text1)));
  if (window.IsTicked(ControlId::Check1)) {
    platform.ShowMessage({.text = MessageTextOf(MessageId::HowToSeeWindowAgain, confirmation.english),
                          .title = kInformationTitle,
                          .icon = MessageIcon::Information});
    ini.WriteIniValue(settings::kNoInfo, settings::kYes);
  }
}

}  // namespace brindle
