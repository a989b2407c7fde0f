#pragma once
// The settings file: one INI file beside the launcher, one section, five keys. Everything the launcher
// remembers between runs is read and written here, straight through to the file.

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
// The reader's buffer in characters, its terminator included: a longer value comes back cut to one less.
inline constexpr int kReadBufferSize = 9999;

// The slot counts MaxNr may hold, and the count that stands in for any other value.
inline constexpr std::int32_t kMinSlotCount = 2;
inline constexpr std::int32_t kMaxSlotCount = 99;
inline constexpr std::int32_t kDefaultSlotCount = 5;
}  // namespace settings

// The settings file at one path, seen through the platform. Failures are ignored: a failed read gives
// the empty string, a failed write is silently lost.
class SettingsFile {
 public:
  SettingsFile(Platform& platform, std::string_view path) : platform_(platform), path_(path) {}

  std::string ReadIniValue(std::string_view key) const;
  void WriteIniValue(std::string_view key, std::string_view value) const;
  // A numeric key; 0 when it does not hold a whole 32-bit number.
  std::int32_t ReadNumber(std::string_view key) const;
  void WriteNumber(std::string_view key, std::int32_t value) const;

 private:
  Platform& platform_;
  std::string_view path_;
};

// Slot counts outside 2..99 fall back to 5.
std::int32_t ValidSlotCount(std::int32_t slotCount);

}  // namespace brindle
