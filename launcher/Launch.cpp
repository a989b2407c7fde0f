#include "launcher/Launch.h"

#include <limits>

#include "launcher/Messages.h"
#include "launcher/Paths.h"
#include "settings/Settings.h"

namespace brindle {

std::int32_t ValidSlotCount(std::int32_t slotCount) {
  return slotCount < kMinSlotCount || slotCount > kMaxSlotCount ? kDefaultSlotCount : slotCount;
}

std::int32_t NextSlot(std::int32_t lastSlot, std::int32_t slotCount) {
  if (lastSlot < 0 || lastSlot >= slotCount) lastSlot = 0;
  return lastSlot + 1;
}

std::int32_t NextLaunchCount(std::int32_t launches) {
  return launches == std::numeric_limits<std::int32_t>::max() ? launches : launches + 1;
}

namespace {

std::int32_t ReadNumber(Platform& platform, const Session& session, std::string_view key) {
  return ToInt32(ReadIniValue(platform, SettingsKey(session, key)));
}

void HandOverFinish(Platform& platform, const Session& session) {
  // Never replaces: while ICQ.exe is there the copy keeps its numbered name.
  platform.RenameFile({.from = session.launch.copyPath, .to = session.launch.messengerPath});
  platform.DeleteFile(SideFileOf(session.launch.copyPath));
  platform.EndProcess();
}

void PlaceFreshCopy(Platform& platform, const LaunchState& launch) {
  if (platform.FileExists(launch.copyPath)) platform.DeleteFile(launch.copyPath);
  platform.CopyFile({.from = launch.messengerPath, .to = launch.copyPath});
}

}  // namespace

void LaunchInstance(Platform& platform, Session& session) {
  const std::int32_t lastSlot = ReadNumber(platform, session, settings::kLastNr);
  const std::int32_t slotCount = ValidSlotCount(ReadNumber(platform, session, settings::kMaxNr));
  const std::int32_t launches = NextLaunchCount(ReadNumber(platform, session, settings::kStarts));
  const std::int32_t slot = NextSlot(lastSlot, slotCount);

  LaunchState& launch = session.launch;
  launch.messengerPath = MessengerPath(session.folder);
  launch.copyPath = CopyPath(session.folder, slot);

  if (!platform.FileExists(launch.messengerPath)) {
    ShowErrorAndEnd(platform, session.english, MessageId::MessengerMissing);
    return;
  }
  PlaceFreshCopy(platform, launch);
  platform.PumpEvents();
  platform.StartProgram(launch.copyPath);
  platform.PumpEvents();
  WriteIniValue(platform, SettingsKey(session, settings::kLastNr), ToDecimal(slot));
  WriteIniValue(platform, SettingsKey(session, settings::kStarts), ToDecimal(launches));
  platform.PumpEvents();

  if (platform.FileExists(SideFileOf(launch.copyPath))) {
    HandOverFinish(platform, session);
    return;
  }
  launch.tickCount = 0;
  platform.SetTimer({.intervalMs = launches > 1 ? kLaterLaunchTickMs : kFirstLaunchTickMs, .enabled = true});
}

void HandOverTick(Platform& platform, Session& session) {
  LaunchState& launch = session.launch;
  if (launch.tickCount >= kTicksBeforeGivingUp || platform.FileExists(SideFileOf(launch.copyPath))) {
    HandOverFinish(platform, session);
    return;
  }
  ++launch.tickCount;
}

}  // namespace brindle
