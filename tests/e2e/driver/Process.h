#pragma once
// A program the test starts (Tavu.exe, under its own or another name) and watches until it ends.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/Clock.h"

namespace brindle::e2e {

// Sets (or, without a value, removes) one variable of the started program's Windows environment.
struct EnvironmentChange {
  std::string name{};
  std::optional<std::string> value{};
};

struct LaunchOptions {
  std::string arguments{};                       // the text after the quoted program path
  std::optional<std::string> workingFolder{};    // default: the program's own folder
  std::vector<EnvironmentChange> environment{};  // on top of the test's own environment
  // Under Wine only: the system locale to start the program with, as a Unix locale name such as
  // "de_DE.UTF-8" or "C.UTF-8". Wine takes a program's locale from the Unix LANG it starts with,
  // which a Windows environment block does not reach, so the program is then started through
  // /usr/bin/env and found again by its path (the environment changes above do not apply).
  std::optional<std::string> wineLocale{};
};

// Closes a kernel handle (HANDLE is void*) without bringing <windows.h> into the tests.
struct KernelHandleCloser {
  void operator()(void* handle) const noexcept;
};

class Process {
 public:
  // Starts the program (CreateProcessW with the application name given and the path quoted in the
  // command line); nullopt when it could not be started.
  static std::optional<Process> Start(std::string_view exePath, const LaunchOptions& options);

  // A program still running when its owner goes is ended, so no test leaves one behind.
  ~Process();
  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept = default;

  unsigned long pid() const { return pid_; }
  Timestamp started() const { return started_; }
  // The time its end was seen, once WaitForExit has seen it.
  std::optional<Timestamp> ended() const { return ended_; }
  // Seconds from the start to the end (or to now while it runs).
  double LifetimeSeconds() const;

  // True when the program has ended within the timeout (zero: just look).
  bool WaitForExit(std::chrono::milliseconds timeout);
  bool Running() { return !WaitForExit(std::chrono::milliseconds(0)); }
  std::optional<unsigned long> ExitCode() const;
  void Kill();

  // Starts the program count times at the same moment: every process is created suspended, then all
  // are resumed one right after the other, so they race from the first instruction of their own code.
  // Empty when any could not be started (those that were are ended). Not with a Wine locale.
  static std::vector<Process> StartTogether(std::string_view exePath, const LaunchOptions& options,
                                            int count);

 private:
  Process(void* handle, unsigned long pid, Timestamp started);
  static std::optional<Process> StartWithWineLocale(std::string_view exePath, const LaunchOptions& options);

  std::unique_ptr<void, KernelHandleCloser> handle_;
  unsigned long pid_ = 0;
  Timestamp started_ = 0;
  std::optional<Timestamp> ended_;
};

}  // namespace brindle::e2e
