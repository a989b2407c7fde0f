#include "settings/Settings.h"

namespace brindle {

std::string ReadIniValue(Platform& platform, const ProfileKey& key) {
  return platform.ReadProfileString(key, settings::kReadBufferSize);
}

void WriteIniValue(Platform& platform, const ProfileKey& key, std::string_view value) {
  platform.WriteProfileString(key, value);
}

std::int32_t ValidSlotCount(std::int32_t slotCount) {
  return slotCount < settings::kMinSlotCount || slotCount > settings::kMaxSlotCount
             ? settings::kDefaultSlotCount
             : slotCount;
}

}  // namespace brindle
