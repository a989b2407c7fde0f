#include "driver/Standin.h"

#include <charconv>
#include <optional>

#include "driver/Files.h"

namespace brindle::e2e {
namespace {

template <typename Number>
Number ToNumber(std::string_view text) {
  Number number{};
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

// kind|time|pid|module|working folder|command line; the command line may hold "|" itself.
std::optional<StandinEvent> ParseEvent(std::string_view line) {
  std::string_view fields[5];
  for (std::string_view& field : fields) {
    const std::size_t bar = line.find('|');
    if (bar == std::string_view::npos) return std::nullopt;
    field = line.substr(0, bar);
    line.remove_prefix(bar + 1);
  }
  StandinEvent event;
  event.kind = fields[0];
  event.time = ToNumber<Timestamp>(fields[1]);
  event.pid = ToNumber<unsigned long>(fields[2]);
  event.module = fields[3];
  event.workingFolder = fields[4];
  event.commandLine = line;
  return event;
}

}  // namespace

std::string StandinConfigText(const StandinConfig& config) {
  return "sidefile_delay_ms=" + std::to_string(config.sidefileDelayMs) +
         "\r\nstay_alive_ms=" + std::to_string(config.stayAliveMs) + "\r\n";
}

std::vector<StandinEvent> ReadStandinLog(std::string_view folder) {
  std::vector<StandinEvent> events;
  const std::optional<std::string> text = ReadBytes(JoinPath(folder, kStandinLogFile));
  if (!text) return events;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    if (end == std::string_view::npos) break;  // a line still being written
    if (std::optional<StandinEvent> event = ParseEvent(rest.substr(0, end))) events.push_back(*event);
    rest.remove_prefix(end + 2);
  }
  return events;
}

std::vector<StandinEvent> EventsOfKind(const std::vector<StandinEvent>& events, std::string_view kind) {
  std::vector<StandinEvent> matching;
  for (const StandinEvent& event : events) {
    if (event.kind == kind) matching.push_back(event);
  }
  return matching;
}

bool WaitForStandinStarts(std::string_view folder, std::size_t count, std::chrono::milliseconds timeout) {
  const Timestamp deadline = Later(Now(), timeout);
  while (EventsOfKind(ReadStandinLog(folder), "start").size() < count) {
    if (Now() > deadline) return false;
    SleepFor(std::chrono::milliseconds(50));
  }
  return true;
}

bool WaitForStandinsToEnd(std::string_view folder, std::chrono::milliseconds timeout) {
  const Timestamp deadline = Later(Now(), timeout);
  for (;;) {
    const std::vector<StandinEvent> events = ReadStandinLog(folder);
    if (EventsOfKind(events, "start").size() == EventsOfKind(events, "exit").size()) return true;
    if (Now() > deadline) return false;
    SleepFor(std::chrono::milliseconds(100));
  }
}

std::string ArgumentsAfterProgramName(std::string_view commandLine) {
  std::size_t end = 0;
  if (!commandLine.empty() && commandLine.front() == '"') {
    const std::size_t quote = commandLine.find('"', 1);
    end = quote == std::string_view::npos ? commandLine.size() : quote + 1;
  } else {
    end = commandLine.find_first_of(" \t");
    if (end == std::string_view::npos) end = commandLine.size();
  }
  std::string_view rest = commandLine.substr(end);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  return std::string(rest);
}

}  // namespace brindle::e2e

namespace brindle::e2e {

std::string ProgramNameOfCommandLine(std::string_view commandLine) {
  if (!commandLine.empty() && commandLine.front() == '"') {
    const std::size_t quote = commandLine.find('"', 1);
    return std::string(
        commandLine.substr(1, quote == std::string_view::npos ? std::string_view::npos : quote - 1));
  }
  return std::string(commandLine.substr(0, commandLine.find_first_of(" \t")));
}

}  // namespace brindle::e2e
