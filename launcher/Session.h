#pragma once
// The values Form1 holds for the life of the process, and those of a launch under way.

#include <cstdint>
#include <string>

namespace brindle {

struct LaunchState {
  std::string messengerPath;
  std::string copyPath;
  std::int16_t tickCount = 0;
  bool started = false;  // whether the copy could be started: what the run's exit status reports
};

struct Session {
  std::string commandLine;     // trimmed arguments
  std::string executablePath;  // as the system reports it, read once
  std::string folder;          // always ends in "\"
  std::string settingsPath;    // folder + "tavu.ini"
  bool english = false;        // process-wide language of every text
  LaunchState launch;
};

}  // namespace brindle
