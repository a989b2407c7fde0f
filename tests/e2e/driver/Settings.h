#pragma once
// The launcher's settings file, tavu.ini, as text on disk.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The keys of a section in the order they stand, each as often as it stands (a file written by a
// careless writer may hold one twice).
std::vector<std::string> IniKeys(std::string_view text, std::string_view section);
// Every line of INI text that is not blank, not a section header and not key=value; a file that a
// profile writer left intact has none.
std::vector<std::string> MalformedIniLines(std::string_view text);

// The text of a settings file as the profile functions read it, in UTF-8: a file that starts with the
// UTF-16 byte order mark is UTF-16 throughout (they keep writing it so), any other is taken as it is.
std::string ProfileText(std::string_view bytes);

}  // namespace brindle::e2e
