#include "launcher/Launch.h"

#include <limits>
#include <optional>

#include "launcher/Messages.h"
#include "launcher/Paths.h"
#include "settings/Settings.h"
#include "settings/Text.h"

namespace brindle {

namespace {

// The slot after `lastSlot`, wrapping to 1 after the last; out-of-range values restart at 1.
std::int32_t NextSlot(std::int32_t lastSlot, std::int32_t slotCount) {
  if (lastSlot < 0 || lastSlot >= slotCount) lastSlot = 0;
  return lastSlot + 1;
}

// The launch counter plus one, held at its maximum rather than overflowing.
std::int32_t NextLaunchCount(std::int32_t launches) {
  return launches == std::numeric_limits<std::int32_t>::max() ? launches : launches + 1;
}

std::int32_t ReadNumber(Platform& platform, const Session& session, std::string_view key) {
  return ToInt32(ReadIniValue(platform, SettingsKey(session.settingsPath, key)));
}

// The scripting object answers where it works. Where it is missing, blocked or broken the file system
// answers instead: counting its failure as "no" would report ICQ.exe missing right beside it.
bool FileExists(Platform& platform, std::string_view path) {
  if (const std::optional<bool> exists = platform.ScriptingFileExists(path)) return *exists;
  return platform.FileSystemFileExists(path);
}

void HandOverFinish(Platform& platform, const Session& session) {
  // Never replaces: while ICQ.exe is there the copy keeps its numbered name.
  platform.RenameFile({.from = session.launch.copyPath, .to = session.launch.messengerPath});
  platform.DeleteFile(SideFileOf(session.launch.copyPath));
  platform.EndProcess();
}

// The copies are the launcher's own files. A copy of a read-only ICQ.exe is read-only too, and a
// read-only copy can be neither deleted nor overwritten: the slot would start its stale copy for ever.
void PlaceFreshCopy(Platform& platform, const LaunchState& launch) {
  if (FileExists(platform, launch.copyPath)) {
    platform.MakeWritable(launch.copyPath);
    platform.DeleteFile(launch.copyPath);
  }
  platform.CopyFile({.from = launch.messengerPath, .to = launch.copyPath});
  platform.MakeWritable(launch.copyPath);
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

  if (!FileExists(platform, launch.messengerPath)) {
    ShowErrorAndEnd(platform, session.english, MessageId::MessengerMissing);
    return;
  }
  PlaceFreshCopy(platform, launch);
  platform.PumpEvents();
  platform.StartProgram(launch.copyPath);
  platform.PumpEvents();
  WriteIniValue(platform, SettingsKey(session.settingsPath, settings::kLastNr), ToDecimal(slot));
  WriteIniValue(platform, SettingsKey(session.settingsPath, settings::kStarts), ToDecimal(launches));
  platform.PumpEvents();

  if (FileExists(platform, SideFileOf(launch.copyPath))) {
    HandOverFinish(platform, session);
    return;
  }
  launch.tickCount = 0;
  platform.SetTimer({.intervalMs = launches > 1 ? kLaterLaunchTickMs : kFirstLaunchTickMs, .enabled = true});
}

void HandOverTick(Platform& platform, Session& session) {
  LaunchState& launch = session.launch;
  if (launch.tickCount >= kTicksThatWait || FileExists(platform, SideFileOf(launch.copyPath))) {
    HandOverFinish(platform, session);
    return;
  }
  ++launch.tickCount;
}

}  // namespace brindle
