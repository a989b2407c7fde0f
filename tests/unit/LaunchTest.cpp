#include <gtest/gtest.h>

#include "FakePlatform.h"

namespace brindle {
namespace {

using fake::Launcher;

// A launcher that goes straight to the launch, with these settings.
fake::FakePlatform& Silent(Launcher& launcher, std::map<std::string, std::string> settings = {}) {
  settings.emplace("NoInfo", "1");
  for (const auto& [key, value] : settings) launcher.platform.Set(key, value);
  return launcher.Start().platform;
}

// Settings numbers are 32-bit decimals; blanks around them and a sign pass, anything else counts as 0.
TEST(Launch, TakesTheNextSlotAndTicksEveryTwoSecondsOnlyTheFirstTime) {
  struct Case {
    const char *lastNr, *maxNr, *starts;
    int slot;
    const char* startsAfter;
    int intervalMs;
  };
  // clang-format off
  for (const Case& c : {Case{"", "", "", 1, "1", 2000}, {"2", "5", "0", 3, "1", 2000}, {"5", "5", "1", 1, "2", 1000},
       {"3", "3", "-5", 1, "-4", 2000}, {"7", "3", "41", 1, "42", 1000}, {"4", "150", "x", 5, "1", 2000},
       {"1", "1", "1", 2, "2", 1000}, {"98", "99", "", 99, "1", 2000}, {"99", "99", "", 1, "1", 2000},
       {"1", "2", "", 2, "1", 2000}, {"-1", "5", "", 1, "1", 2000}, {"junk", "junk", "", 1, "1", 2000},
       {"2147483647", "99", "2147483647", 1, "2147483647", 1000}, {"3", "-4", "", 4, "1", 2000},
       {"+2", " 2 ", "\t+1", 1, "2", 1000}, {"2147483648", "1.5", "+-1", 1, "1", 2000},
       {"0x2", "1e1", "--1", 1, "1", 2000}, {"2 2", "-2147483648", "-2147483649", 1, "1", 2000}}) {
    // clang-format on
    Launcher launcher;
    auto& platform = Silent(launcher, {{"LastNr", c.lastNr}, {"MaxNr", c.maxNr}, {"Starts", c.starts}});
    const std::string copy = platform.In("ICQ.exe" + std::to_string(c.slot));
    EXPECT_EQ(platform.started, std::vector{copy}) << c.lastNr << "|" << c.maxNr << "|" << c.starts;
    EXPECT_EQ(platform.files[copy], "messenger");
    // LastNr and Starts written, MaxNr only read.
    EXPECT_EQ(platform.Get("LastNr") + "|" + platform.Get("Starts") + "|" + platform.Get("MaxNr"),
              std::to_string(c.slot) + "|" + c.startsAfter + "|" + c.maxNr);
    EXPECT_EQ(launcher.tickMs, c.intervalMs);
  }
}

// Without a working scripting object (not registered, blocked, or its FileExists failing) the file
// system answers instead: the same launch and the same wait.
TEST(Launch, WaitEndsAtTheFirstTickThatSeesTheSideFileOrAtTheSixth) {
  for (const bool scripting : {true, false}) {
    for (const int sideFileAt : {0, 1, 2, 5, 6, 99}) {
      Launcher launcher;
      auto& platform = launcher.platform;
      platform.scriptingWorks = scripting;
      if (sideFileAt == 0) platform.files[platform.In("ICQ.exe1.csassembly")];
      Silent(launcher);
      int ticks = 0;
      while (!launcher.ended && ticks < 50) {
        if (++ticks == sideFileAt) platform.files[platform.In("ICQ.exe1.csassembly")];
        launcher.Ticks(1);
      }
      EXPECT_EQ(ticks, std::min(sideFileAt, 6)) << sideFileAt << scripting;
      // The side file goes; ICQ.exe is there, so the copy keeps its numbered name.
      EXPECT_TRUE(!platform.files.count(platform.In("ICQ.exe1.csassembly")) &&
                  platform.files.count(platform.In("ICQ.exe1")));
      EXPECT_TRUE(launcher.ended == ExitStatus::Launched && platform.messages.empty());
    }
  }
}

// What Windows does with read-only files, as the fake models it: CopyFileW gives the copy ICQ.exe's
// read-only attribute, and DeleteFileW and CopyFileW both refuse a read-only destination.
TEST(Launch, CopiesStayWritableWhenICQExeIsReadOnly) {
  for (const bool staleCopyReadOnly : {false, true}) {
    Launcher launcher;
    auto& platform = launcher.platform;
    platform.executablePath = staleCopyReadOnly ? "D:\\Tavu.exe" : "C:\\ICQ 7\\Tavu.exe";  // a drive root too
    platform.files = {{platform.In("ICQ.exe"), "messenger"}, {platform.In("ICQ.exe2"), "stale copy"}};
    platform.readOnly = {platform.In("ICQ.exe")};
    if (staleCopyReadOnly) platform.readOnly.insert(platform.In("ICQ.exe2"));
    Silent(launcher, {{"LastNr", "1"}});
    EXPECT_EQ(platform.files[platform.In("ICQ.exe2")], "messenger") << staleCopyReadOnly;
    EXPECT_EQ(platform.readOnly, std::set{platform.In("ICQ.exe")});  // ICQ.exe itself is left alone
  }
}

// How a run ends, carried out as Tavu.exe's window carries it out: once, with its status and message;
// a refused launcher writes nothing. The guard answers model CreateMutexW: AlreadyTaken, a handle and
// ERROR_ALREADY_EXISTS (another launcher of this user runs); AccessDenied, no handle and
// ERROR_ACCESS_DENIED (an elevated launcher holds it); Failed, no handle for another reason, and the
// run goes on. Neither a timer that cannot start nor a handler that runs out of memory may leave a
// hidden launcher behind, holding the guard for ever.
TEST(Run, EndsOnceWithItsStatusAndMessage) {
  enum At { Start, Ok, Tick };
  using G = GuardAnswer;
  using S = ExitStatus;
  struct Case {
    At at;
    G guard;
    const char* exe;
    bool timer, memory;
    S status;
    std::optional<MessageId> message;
  };
  // clang-format off
  for (const Case& c : {
       Case{Start, G::AlreadyTaken, "Tavu.exe", true, false, S::AlreadyRunning, MessageId::AlreadyRunning},
       {Start, G::AlreadyTaken, "Other.exe", true, false, S::AlreadyRunning, MessageId::AlreadyRunning},  // guard first
       {Start, G::AccessDenied, "Tavu.exe", true, false, S::AlreadyRunning, MessageId::AlreadyRunning},
       {Start, G::Taken, "tavu.exe", true, false, S::WrongExeName, MessageId::WrongExeName},
       {Start, G::Taken, "Tavu.exe.exe", true, false, S::WrongExeName, MessageId::WrongExeName},
       {Start, G::Failed, "Tavu.exe", true, false, S::Launched, std::nullopt},
       {Start, G::Taken, "Tavu.exe", true, false, S::MessengerMissing, MessageId::MessengerMissing},  // no ICQ.exe
       {Start, G::Taken, "Tavu.exe", false, false, S::Launched, std::nullopt},
       {Ok, G::Taken, "Tavu.exe", false, false, S::Launched, std::nullopt},
       {Start, G::Taken, "Tavu.exe", true, true, S::Failed, std::nullopt},
       {Ok, G::Taken, "Tavu.exe", true, true, S::Failed, std::nullopt},
       {Tick, G::Taken, "Tavu.exe", true, true, S::Failed, std::nullopt}}) {
    // clang-format on
    Launcher launcher;
    auto& platform = launcher.platform;
    platform.guard = c.guard;
    platform.executablePath = std::string("C:\\Messenger\\") + c.exe;
    launcher.timerWorks = c.timer;
    if (c.status == S::MessengerMissing) platform.files.clear();
    if (c.at != Ok) platform.Set("NoInfo", "1");
    const auto settings = platform.profile;
    platform.memoryRunsOut = c.memory && c.at == Start;
    launcher.Start();
    platform.memoryRunsOut = c.memory;
    if (c.at == Ok) launcher.Click();
    launcher.Ticks();
    const std::string what =
        c.exe + std::to_string(c.at) + std::to_string(int(c.guard)) + std::to_string(c.memory);
    EXPECT_TRUE(launcher.ended == c.status && launcher.afterEnd == 0 && !platform.visible) << what;
    EXPECT_EQ(platform.started.size(), c.status == S::Launched || c.at == Tick) << what;
    const auto box = [](MessageId id) {
      return fake::Box("Fehler", MessageTextOf(id, false), MessageIcon::Exclamation);
    };
    EXPECT_EQ(platform.messages, c.message ? std::vector{box(*c.message)} : std::vector<std::string>{})
        << what;
    // A refused launcher writes nothing.
    EXPECT_TRUE(c.status == S::MessengerMissing || !c.message || platform.profile == settings) << what;
  }
}

}  // namespace
}  // namespace brindle
