#pragma once
// The values Form1 holds for the life of the process, and those of a launch under way.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "settings/Settings.h"

namespace brindle {

struct LaunchState {
  std::string messengerPath;
  std::string copyPath;
  std::int16_t tickCount = 0;
};

struct Session {
  std::string commandLine;   // trimmed arguments
  std::string folder;        // always ends in "\"
  std::string settingsPath;  // folder + "tavu.ini"
  bool english = false;      // process-wide language of every text
  LaunchState launch;
};

// A key of the settings file beside this launcher.
inline ProfileKey SettingsKey(const Session& session, std::string_view key) {
  return {.path = session.settingsPath, .section = settings::kSection, .key = key};
}

}  // namespace brindle
