#pragma once
// The stand-in messenger (standin.exe, placed as ICQ.exe): its timing file and its log.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "driver/Clock.h"

namespace brindle::e2e {

inline constexpr std::string_view kStandinExe = "standin.exe";
inline constexpr std::string_view kStandinConfigFile = "standin.cfg";
inline constexpr std::string_view kStandinLogFile = "standin.log";
inline constexpr std::string_view kSideFileSuffix = ".csassembly";

// Times in milliseconds after the stand-in's start.
inline constexpr int kNever = -1;
struct StandinConfig {
  int sidefileDelayMs = 0;  // when it writes its side file; kNever: not at all
  int stayAliveMs = 1000;   // when it ends
};

std::string StandinConfigText(const StandinConfig& config);

// One line of standin.log.
struct StandinEvent {
  std::string kind;  // "start", "sidefile" or "exit"
  Timestamp time = 0;
  unsigned long pid = 0;
  std::string module;         // full path of the running stand-in
  std::string workingFolder;  // its current directory
  std::string commandLine;    // its raw command line
};

// The events logged by every stand-in whose executable lies in the folder, in the order written.
std::vector<StandinEvent> ReadStandinLog(std::string_view folder);
std::vector<StandinEvent> EventsOfKind(const std::vector<StandinEvent>& events, std::string_view kind);
// Waits until stand-ins in the folder have logged at least this many starts; the launcher may end
// before the messenger it started has got going.
bool WaitForStandinStarts(std::string_view folder, std::size_t count, std::chrono::milliseconds timeout);
// Waits until every stand-in that logged its start in the folder has logged its end as well.
bool WaitForStandinsToEnd(std::string_view folder, std::chrono::milliseconds timeout);

// What a program got as arguments: the command line without the program name (Windows' rule for the
// first token: up to the closing quote when it starts with one, else up to the first blank), with
// leading blanks removed.
std::string ArgumentsAfterProgramName(std::string_view commandLine);
// The program name at the start of a command line by the same rule, without its quotes.
std::string ProgramNameOfCommandLine(std::string_view commandLine);

}  // namespace brindle::e2e
