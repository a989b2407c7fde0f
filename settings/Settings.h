#pragma once
// The settings file: one INI file beside the launcher, one section, five keys. Everything the launcher
// remembers between runs goes through ReadIniValue and WriteIniValue, straight to the file.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace brindle {

namespace settings {
inline constexpr std::string_view kFileName = "tavu.ini";
inline constexpr std::string_view kSection = "Brindle";
inline constexpr std::string_view kMaxNr = "MaxNr";        // number of copy slots, "2" to "99"
inline constexpr std::string_view kLastNr = "LastNr";      // slot of the most recent launch
inline constexpr std::string_view kStarts = "Starts";      // launches so far
inline constexpr std::string_view kNoInfo = "NoInfo";      // "1": start without the window
inline constexpr std::string_view kLanguage = "Language";  // "English" or "German", edited by hand
inline constexpr std::string_view kYes = "1";
inline constexpr std::string_view kNo = "0";
inline constexpr std::string_view kEnglish = "English";
inline constexpr std::string_view kGerman = "German";
// Characters handed to the profile reader; a longer value comes back cut to one less.
inline constexpr int kReadBufferSize = 9999;

// The slot counts MaxNr may hold, and the count that stands in for any other value.
inline constexpr std::int32_t kMinSlotCount = 2;
inline constexpr std::int32_t kMaxSlotCount = 99;
inline constexpr std::int32_t kDefaultSlotCount = 5;
}  // namespace settings

// A key of the settings file at `settingsPath`.
inline ProfileKey SettingsKey(std::string_view settingsPath, std::string_view key) {
  return {.path = settingsPath, .section = settings::kSection, .key = key};
}

// A missing file, section or key, or a failed read, gives the empty string.
std::string ReadIniValue(Platform& platform, const ProfileKey& key);
// Creates file, section or key as needed; a failed write is silently lost.
void WriteIniValue(Platform& platform, const ProfileKey& key, std::string_view value);

// Slot counts outside 2..99 fall back to 5.
std::int32_t ValidSlotCount(std::int32_t slotCount);

}  // namespace brindle
