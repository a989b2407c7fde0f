#pragma once
// The launcher's settings file, tavu.ini, as text on disk.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::e2e {

inline constexpr std::string_view kSettingsFile = "tavu.ini";
inline constexpr std::string_view kSettingsSection = "Brindle";

struct Setting {
  std::string_view key;
  std::string_view value;
};

// "[Brindle]\r\nkey=value\r\n...", the file as a user would write it by hand.
std::string SettingsText(std::initializer_list<Setting> settings);

// The value of a key in a section of INI text, blanks around it removed; nullopt when the section or
// the key is absent. Section and key names compare without letter case, as the profile functions do.
std::optional<std::string> IniValue(std::string_view text, std::string_view section, std::string_view key);

}  // namespace brindle::e2e
