#pragma once
// What the scenario tests share: a fresh launcher folder named after the running test, and a run of
// Tavu.exe that is watched to its end while its message boxes are answered as a user would.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/Driver.h"

namespace brindle::e2e {

// Generous for a busy machine: the longest regular run, a first launch whose messenger never leaves
// its side file, takes about twelve seconds.
inline constexpr std::chrono::seconds kRunTimeout{90};
inline constexpr std::chrono::seconds kWindowTimeout{60};

struct MessageSeen {
  std::string title;
  std::string text;
  friend bool operator==(const MessageSeen&, const MessageSeen&) = default;
};
void PrintTo(const MessageSeen& message, std::ostream* out);

struct RunResult {
  bool ended = false;  // within kRunTimeout (else it was killed)
  double seconds = 0;  // from its start to its end
  std::optional<Timestamp> endedAt;
  std::vector<MessageSeen> messages;  // every message box, in order, each answered with OK
  bool windowShown = false;           // the information window appeared (and was closed)
};

// How a watched run answers the information window.
enum class WindowAnswer {
  Close,  // as a user who changes their mind: an unexpected window fails the test, never hangs it
  Ok,     // as a user who wants a launch: the count box keeps its "5", the box stays clear
};

// Watches a started launcher to its end: presses OK on each message box and answers the information
// window, should it appear, as `answer` says.
RunResult Watch(Process& launcher, WindowAnswer answer = WindowAnswer::Close);

class Scenario : public ::testing::Test {
 protected:
  // Creates the test's folder with Tavu.exe and the stand-in as ICQ.exe; app names the launcher
  // folder inside it. Fails the test when anything cannot be placed.
  void Prepare(const StandinConfig& messenger = {}, std::string_view app = "app");
  // Only the folder, for tests that place the programs themselves.
  void PrepareEmpty(std::string_view app = "app");

  // Starts Tavu.exe (or the launcher under another name) and watches it to its end.
  RunResult Run(const LaunchOptions& options = {}, std::string_view exeName = kLauncherExe);

  // Lets every stand-in started in the folder end, so no file stays in use.
  void TearDown() override;

  const TestFolder& folder() const { return *folder_; }

 private:
  std::optional<TestFolder> folder_;
};

// "Suite.Test" of the running test, with "/" of parameterised names turned into "_".
std::string CurrentTestName();

}  // namespace brindle::e2e
