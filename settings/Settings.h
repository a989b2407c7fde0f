#pragma once
// The settings file: one INI file beside the launcher, one section, five keys. Everything the launcher
// remembers between runs goes through ReadIniValue and WriteIniValue, straight to the file.

#include <cstdint>
#include <optional>
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
}  // namespace settings

// A missing file, section or key, or a failed read, gives the empty string.
std::string ReadIniValue(Platform& platform, const ProfileKey& key);
// Creates file, section or key as needed; a failed write is silently lost.
void WriteIniValue(Platform& platform, const ProfileKey& key, std::string_view value);

// Settings numbers are 32-bit. Blanks around the number and a sign are accepted; anything else
// (empty, letters, fractions, a value out of range) does not convert and gives 0.
std::int32_t ToInt32(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);

std::string ToDecimal(std::int32_t value);

}  // namespace brindle
