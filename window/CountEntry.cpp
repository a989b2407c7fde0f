#include "window/CountEntry.h"

#include <limits>

#include "platform/FormEvents.h"
#include "settings/Settings.h"
#include "settings/Text.h"
#include "window/Texts.h"

namespace brindle {

int DigitsOnly(int code) {
  const bool digit = code >= '0' && code <= '9';
  return digit || code == kBackspace ? code : kSwallowKey;
}

int FilterCountBoxKey(int code) {
  return code == kPaste ? code : DigitsOnly(code);
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::int16_t> ParseCount(std::string_view text) {
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

std::int16_t CountFromText(std::string_view text) {
  const std::int16_t count = ParseCount(text).value_or(0);
  return static_cast<std::int16_t>(ValidSlotCount(count));
}

void ConfirmCount(Platform& platform, const Confirmation& confirmation) {
  platform.HideWindow();
  const std::int16_t count = CountFromText(platform.ControlText(ControlId::Text1));
  WriteIniValue(platform, SettingsKey(confirmation.settingsPath, settings::kMaxNr), ToDecimal(count));
  if (platform.CheckValue(ControlId::Check1) == kTicked) {
    platform.ShowMessage({.text = MessageTextOf(MessageId::HowToSeeWindowAgain, confirmation.english),
                          .title = kInformationTitle,
                          .icon = MessageIcon::Information});
    WriteIniValue(platform, SettingsKey(confirmation.settingsPath, settings::kNoInfo), settings::kYes);
  }
}

}  // namespace brindle
