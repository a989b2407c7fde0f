#include "settings/Settings.h"

#include <charconv>
#include <limits>

namespace brindle {

std::string ReadIniValue(Platform& platform, const ProfileKey& key) {
  return platform.ReadProfileString(key, settings::kReadBufferSize);
}

void WriteIniValue(Platform& platform, const ProfileKey& key, std::string_view value) {
  platform.WriteProfileString(key, value);
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  text = TrimBlanks(text);
  // from_chars takes a minus but no plus; a plus followed by a second sign must still fail.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

std::int32_t ToInt32(std::string_view text) {
  return ParseInt32(text).value_or(0);
}

std::string ToDecimal(std::int32_t value) {
  return std::to_string(value);
}

}  // namespace brindle
