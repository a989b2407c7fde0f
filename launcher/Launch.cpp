#include "launcher/Launch.h"

#include <limits>
#include <optional>

#include "launcher/Messages.h"
#include "launcher/Paths.h"
#include "settings/Settings.h"

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

// The scripting object answers where it works. Where it is missing, blocked or broken the file system
// answers instead: counting its failure as "no" would report ICQ.exe missing right beside it.
bool FileExists(Platform& platform, std::string_view path) {
  if (const std::optional<bool> exists = platform.ScriptingFileExists(path)) return *exists;
  return platform.FileSystemFileExists(path);
}

// The copies are the launcher's own files. A copy of a read-only ICQ.exe is read-only too, and a
// read-only copy can be neither deleted nor overwritten: the slot would start its stale copy for ever.
void PlaceFreshCopy(Platform& platform, const LaunchState& launch) {
  if (FileExists(platform, launch.copyPath)) {
    platform.MakeWritable(launch.copyPath);
    platform.RemoveFile(launch.copyPath);
  }
  platform.CopyFileOver({.from = launch.messengerPath, .to = launch.copyPath});
  platform.MakeWritable(launch.copyPath);
}

}  // namespace

Next HandOverFinish(Platform& platform, const Session& session) {
  // Never replaces: while ICQ.exe is there the copy keeps its numbered name.
  platform.RenameFile({.from = session.launch.copyPath, .to = session.launch.messengerPath});
  platform.RemoveFile(SideFileOf(session.launch.copyPath));
  return Next::End(session.launch.started ? ExitStatus::Launched : ExitStatus::NotStarted);
}

Next LaunchInstance(Platform& platform, Window& window, Session& session) {
  const SettingsFile ini(platform, session.settingsPath);
  const std::int32_t lastSlot = ini.ReadNumber(settings::kLastNr);
  const std::int32_t slotCount = ValidSlotCount(ini.ReadNumber(settings::kMaxNr));
  const std::int32_t launches = NextLaunchCount(ini.ReadNumber(settings::kStarts));
  const std::int32_t slot = NextSlot(lastSlot, slotCount);

  LaunchState& launch = session.launch;
  launch.messengerPath = MessengerPath(session.folder);
  launch.copyPath = CopyPath(session.folder, slot);

  if (!FileExists(platform, launch.messengerPath))
    return ShowErrorThenEnd(platform, session.english, MessageId::MessengerMissing,
                            ExitStatus::MessengerMissing);
  PlaceFreshCopy(platform, launch);
  window.PumpEvents();
  launch.started = platform.StartProgram(launch.copyPath);
  window.PumpEvents();
  ini.WriteNumber(settings::kLastNr, slot);
  ini.WriteNumber(settings::kStarts, launches);
  window.PumpEvents();

  if (FileExists(platform, SideFileOf(launch.copyPath))) return HandOverFinish(platform, session);
  launch.tickCount = 0;
  return Next::WaitOnTimer(launches > 1 ? kLaterLaunchTickMs : kFirstLaunchTickMs);
}

Next HandOverTick(Platform& platform, Session& session) {
  LaunchState& launch = session.launch;
  if (launch.tickCount >= kTicksThatWait || FileExists(platform, SideFileOf(launch.copyPath)))
    return HandOverFinish(platform, session);
  ++launch.tickCount;
  return Next::Stay();
}

}  // namespace brindle
