#include "driver/Settings.h"

#include <algorithm>
#include <cctype>

namespace brindle::e2e {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string SettingsText(std::initializer_list<Setting> settings) {
  std::string text = "[" + std::string(kSettingsSection) + "]\r\n";
  for (const Setting& setting : settings) {
    text += std::string(setting.key) + "=" + std::string(setting.value) + "\r\n";
  }
  return text;
}

std::optional<std::string> IniValue(std::string_view text, std::string_view section, std::string_view key) {
  bool inSection = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      inSection = SameName(Trim(line.substr(1, line.size() - 2)), section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (inSection && equals != std::string_view::npos && SameName(Trim(line.substr(0, equals)), key)) {
      return std::string(Trim(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

}  // namespace brindle::e2e
