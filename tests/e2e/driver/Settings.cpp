#include "driver/Settings.h"

#include <algorithm>
#include <cctype>

#include "driver/Text.h"

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

namespace brindle::e2e {
namespace {

// One line of INI text, without its line end and the blanks around it.
template <typename Visit>
void ForEachIniLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    visit(line);
  }
}

bool IsSectionHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

}  // namespace

std::vector<std::string> IniKeys(std::string_view text, std::string_view section) {
  std::vector<std::string> keys;
  bool inSection = false;
  ForEachIniLine(text, [&](std::string_view line) {
    if (IsSectionHeader(line)) {
      inSection = SameName(Trim(line.substr(1, line.size() - 2)), section);
      return;
    }
    const std::size_t equals = line.find('=');
    if (inSection && equals != std::string_view::npos) keys.emplace_back(Trim(line.substr(0, equals)));
  });
  return keys;
}

std::vector<std::string> MalformedIniLines(std::string_view text) {
  std::vector<std::string> malformed;
  ForEachIniLine(text, [&](std::string_view line) {
    const bool keyLine = line.find('=') != std::string_view::npos && line.front() != '=';
    const bool printable = std::all_of(
        line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x20 || c == '\t'; });
    if (!line.empty() && (!printable || !(IsSectionHeader(line) || keyLine))) malformed.emplace_back(line);
  });
  return malformed;
}

}  // namespace brindle::e2e

namespace brindle::e2e {

std::string ProfileText(std::string_view bytes) {
  constexpr std::string_view kUtf16Mark = "\xFF\xFE";
  if (bytes.substr(0, kUtf16Mark.size()) != kUtf16Mark) return std::string(bytes);
  std::wstring text;
  for (std::size_t at = kUtf16Mark.size(); at + 1 < bytes.size(); at += 2) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
  }
  return Narrow(text);
}

}  // namespace brindle::e2e
