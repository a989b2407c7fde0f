#include "settings/Settings.h"

#include "settings/ValueText.h"

namespace brindle {

std::string SettingsFile::ReadIniValue(std::string_view key) const {
  std::string value = platform_.ReadProfileValue({.path = path_, .section = settings::kSection, .key = key});
  if (value.size() >= settings::kReadBufferSize) value.resize(settings::kReadBufferSize - 1);
  return value;
}

void SettingsFile::WriteIniValue(std::string_view key, std::string_view value) const {
  platform_.WriteProfileValue({.path = path_, .section = settings::kSection, .key = key}, value);
}

std::int32_t SettingsFile::ReadNumber(std::string_view key) const {
  return ParseWholeInt32(ReadIniValue(key)).value_or(0);
}

void SettingsFile::WriteNumber(std::string_view key, std::int32_t value) const {
  WriteIniValue(key, ToDecimal(value));
}

std::int32_t ValidSlotCount(std::int32_t slotCount) {
  return slotCount < settings::kMinSlotCount || slotCount > settings::kMaxSlotCount
             ? settings::kDefaultSlotCount
             : slotCount;
}

}  // namespace brindle
