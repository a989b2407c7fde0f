#include <gtest/gtest.h>

#include "FakePlatform.h"

namespace brindle {
namespace {

using fake::Launcher;

// A launcher that goes straight to the launch, with these settings.
void Silent(Launcher& launcher, std::map<std::string, std::string> settings = {}) {
  settings.emplace("NoInfo", "1");
  for (const auto& [key, value] : settings) launcher.Set(key, value);
  launcher.Start();
}

// Settings numbers are 32-bit decimals; blanks around them and a sign pass, anything else counts as 0.
TEST(Launch, TakesTheNextSlotAndTicksEveryTwoSecondsOnlyTheFirstTime) {
  struct Case {
    const char *lastNr, *maxNr, *starts;
    int slot;
    const char* startsAfter;
    int intervalMs;
    bool running =
        false;  // the slot's copy still runs: it can be neither deleted nor replaced, so it starts again
  };
  // Each edge from both sides: MaxNr 1|2 and 99|100, LastNr at and below the count, 0 and -1, Starts 1|2
  // and at its top; signs that would bring a number into range if they were lost.
  // clang-format off
  for (const Case& c : {Case{"", "", "", 1, "1", 2000}, {"2", "5", "0", 3, "1", 2000},
       {"5", "5", "1", 1, "2", 1000}, {"4", "5", "2", 5, "3", 1000}, {"0", "5", "", 1, "1", 2000},
       {"-1", "5", "", 1, "1", 2000}, {"3", "3", "-5", 1, "-4", 2000}, {"7", "3", "41", 1, "42", 1000},
       {"4", "150", "x", 5, "1", 2000}, {"1", "1", "1", 2, "2", 1000}, {"2", "2", "", 1, "1", 2000},
       {"98", "99", "", 99, "1", 2000}, {"99", "99", "", 1, "1", 2000}, {"99", "100", "", 1, "1", 2000},
       {"2", "-2", "", 3, "1", 2000}, {"junk", "junk", "", 1, "1", 2000},
       {"2147483646", "99", "2147483646", 1, "2147483647", 1000},
       {"2147483647", "99", "2147483647", 1, "2147483647", 1000}, {"3", "-4", "", 4, "1", 2000},
       {"+2", " 2 ", "\t+1", 1, "2", 1000}, {"2147483648", "1.5", "+-1", 1, "1", 2000},
       {"0x2", "1e1", "--1", 1, "1", 2000}, {"2 2", "-2147483648", "-2147483649", 1, "1", 2000},
       {"1", "5", "3", 2, "4", 1000, true}}) {
    // clang-format on
    Launcher launcher;
    const std::string copy = launcher.In("ICQ.exe" + std::to_string(c.slot));
    // A stale copy, read-only like ICQ.exe: CopyFileW copies the attribute; DeleteFileW, CopyFileW refuse it.
    launcher.files[copy] = "stale copy";
    launcher.readOnly = {launcher.In("ICQ.exe"), copy};
    if (c.running) launcher.running = {copy};
    Silent(launcher, {{"LastNr", c.lastNr}, {"MaxNr", c.maxNr}, {"Starts", c.starts}});
    EXPECT_EQ(launcher.started, std::vector{copy}) << c.lastNr << "|" << c.maxNr << "|" << c.starts;
    EXPECT_EQ(launcher.files[copy], c.running ? "stale copy" : "messenger");
    EXPECT_EQ(launcher.readOnly,
              (std::set<std::string, std::less<>>{launcher.In("ICQ.exe")}));  // ICQ.exe itself is left alone
    // LastNr and Starts written, MaxNr only read.
    EXPECT_EQ(launcher.Get("LastNr") + "|" + launcher.Get("Starts") + "|" + launcher.Get("MaxNr"),
              std::to_string(c.slot) + "|" + c.startsAfter + "|" + c.maxNr);
    EXPECT_EQ(launcher.tickMs, c.intervalMs);
  }
}

// Without a working scripting object (missing, blocked, failing) the file system answers: the same wait.
TEST(Launch, WaitEndsAtTheFirstTickThatSeesTheSideFileOrAtTheSixth) {
  for (const bool scripting : {true, false}) {
    for (const int sideFileAt : {0, 1, 2, 5, 6, 99}) {
      Launcher launcher;
      launcher.scriptingWorks = scripting;
      if (sideFileAt == 0) launcher.files[launcher.In("ICQ.exe1.csassembly")];
      Silent(launcher);
      int ticks = 0;
      while (!launcher.ended && ticks < 50) {
        if (++ticks == sideFileAt) launcher.files[launcher.In("ICQ.exe1.csassembly")];
        launcher.Ticks(1);
      }
      EXPECT_EQ(ticks, std::min(sideFileAt, 6)) << sideFileAt << scripting;
      // The side file goes; ICQ.exe is there, so the copy keeps its numbered name.
      EXPECT_TRUE(!launcher.files.count(launcher.In("ICQ.exe1.csassembly")) &&
                  launcher.files.count(launcher.In("ICQ.exe1")));
      EXPECT_TRUE(launcher.ended == ExitStatus::Launched && launcher.messages.empty());
    }
  }
}

// How a run ends, as Tavu.exe's window carries it out: once, with its status and message; a guard that fails
// lets the run go on. No timer, or no memory, must not leave a hidden launcher holding the guard for ever.
TEST(Run, EndsOnceWithItsStatusAndMessage) {
  enum At { Start, Ok, Tick, Close };
  using G = GuardAnswer;
  using S = ExitStatus;
  struct Case {
    At at;
    G guard;
    const char* exe;
    bool timer, memory;
    S status;
    std::optional<MessageId> message;
    bool copyStarts = true;
  };
  // clang-format off
  // The guard comes first; an elevated launcher's guard, which a normal one may not open, runs too.
  const Case cases[] = {
       {Start, G::AlreadyTaken, "Other.exe", true, false, S::AlreadyRunning, MessageId::AlreadyRunning},
       {Start, G::AccessDenied, "Tavu.exe", true, false, S::AlreadyRunning, MessageId::AlreadyRunning},
       {Start, G::Taken, "Tavu.exe.exe", true, false, S::WrongExeName, MessageId::WrongExeName},
       {Start, G::Failed, "Tavu.exe", true, false, S::Launched, std::nullopt},
       {Start, G::Taken, "Tavu.exe", false, false, S::Launched, std::nullopt},
       {Ok, G::Taken, "Tavu.exe", false, false, S::Launched, std::nullopt},
       {Start, G::Taken, "Tavu.exe", true, true, S::Failed, std::nullopt},
       {Ok, G::Taken, "Tavu.exe", true, true, S::Failed, std::nullopt},
       {Tick, G::Taken, "Tavu.exe", true, true, S::Failed, std::nullopt},
       {Close, G::Taken, "Tavu.exe", true, false, S::WindowClosed, std::nullopt},
       {Start, G::Taken, "Tavu.exe", true, false, S::NotStarted, std::nullopt, false}};  // waits all the same
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Launcher launcher;
    launcher.guard = c.guard;
    launcher.executablePath = std::string("C:\\Messenger\\") + c.exe;
    launcher.timerWorks = c.timer;
    launcher.startWorks = c.copyStarts;
    if (c.at != Ok && c.at != Close) launcher.Set("NoInfo", "1");
    const auto settings = launcher.profile;
    launcher.memoryRunsOut = c.memory && c.at == Start;
    launcher.Start();
    launcher.memoryRunsOut = c.memory;
    if (c.at == Ok) launcher.Click();
    if (c.at == Close) launcher.Close();
    launcher.Ticks();
    EXPECT_TRUE(launcher.ended == c.status && launcher.afterEnd == 0 && !launcher.visible);
    EXPECT_EQ(launcher.started.size(), c.status == S::Launched || c.at == Tick);
    const auto box = "Fehler|" + std::string(c.message ? MessageTextOf(*c.message, false) : "") + "|!";
    EXPECT_EQ(launcher.messages, c.message ? std::vector{box} : std::vector<std::string>{});
    // A refused launcher writes nothing.
    EXPECT_TRUE(!c.message || launcher.profile == settings);
  }
}

}  // namespace
}  // namespace brindle
