#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "launcher/Launch.h"

namespace brindle {
namespace {

using fake::Launcher;

// A launcher that goes straight to the launch, with these settings.
Launcher& Silent(Launcher& launcher, std::map<std::string, std::string> settings = {}) {
  settings.emplace("NoInfo", "1");
  for (const auto& [key, value] : settings) launcher.platform.Set(key, value);
  return launcher.Start();
}

TEST(Launch, TakesTheSlotAfterTheLastOne) {
  struct Case {
    const char *lastNr, *maxNr;
    int slot;
  };
  // clang-format off
  for (const Case& c : {Case{"", "", 1}, {"2", "5", 3}, {"5", "5", 1}, {"3", "3", 1}, {"7", "3", 1}, {"4", "150", 5},
       {"1", "1", 2}, {"98", "99", 99}, {"99", "99", 1}, {"1", "2", 2}, {"-1", "5", 1}, {"junk", "junk", 1},
       {"2147483647", "99", 1}, {"3", "-4", 4}}) {
    // clang-format on
    Launcher launcher;
    Silent(launcher, {{"LastNr", c.lastNr}, {"MaxNr", c.maxNr}});
    const std::string copy = launcher.platform.In("ICQ.exe" + std::to_string(c.slot));
    EXPECT_EQ(launcher.platform.started, std::vector{copy}) << c.lastNr << "|" << c.maxNr;
    EXPECT_EQ(launcher.platform.files[copy], "messenger");
    EXPECT_EQ(launcher.platform.Get("LastNr"), std::to_string(c.slot));
    EXPECT_EQ(launcher.platform.Get("MaxNr"), c.maxNr);  // read, never rewritten
  }
}

TEST(Launch, OnlyTheVeryFirstLaunchTicksEveryTwoSeconds) {
  struct Case {
    const char *starts, *written;
    int intervalMs;
  };
  // clang-format off
  for (const Case& c : {Case{"", "1", 2000}, {"0", "1", 2000}, {"-5", "-4", 2000}, {"1", "2", 1000},
       {"41", "42", 1000}, {"x", "1", 2000}, {"2147483647", "2147483647", 1000}}) {
    // clang-format on
    Launcher launcher;
    Silent(launcher, {{"Starts", c.starts}});
    EXPECT_EQ(launcher.platform.log.back(), "Timer " + std::to_string(c.intervalMs) + " on") << c.starts;
    EXPECT_EQ(launcher.platform.Get("Starts"), c.written);
  }
}

TEST(Launch, StepsInOrder) {
  Launcher launcher;
  launcher.platform.files[launcher.platform.In("ICQ.exe1")] = "old copy";
  const auto& log = Silent(launcher).platform.log;
  const std::vector<std::string> steps{"Writable C:\\Messenger\\ICQ.exe1",
                                       "Delete C:\\Messenger\\ICQ.exe1",
                                       "Copy C:\\Messenger\\ICQ.exe C:\\Messenger\\ICQ.exe1",
                                       "Writable C:\\Messenger\\ICQ.exe1",
                                       "Pump",
                                       "Start C:\\Messenger\\ICQ.exe1",
                                       "Pump",
                                       "Write LastNr=1",
                                       "Write Starts=1",
                                       "Pump",
                                       "Timer 2000 on"};
  EXPECT_EQ(std::vector(log.end() - steps.size(), log.end()), steps);
}

// Without a working scripting object (not registered, blocked, or its FileExists failing) the file
// system answers instead: the same launch and the same wait.
TEST(Launch, WaitEndsAtTheFirstTickThatSeesTheSideFileOrAtTheSixth) {
  for (const bool scripting : {true, false})
    for (const int sideFileAt : {0, 1, 2, 5, 6, 99}) {
      Launcher launcher;
      launcher.platform.scriptingWorks = scripting;
      if (sideFileAt == 0) launcher.platform.files[launcher.platform.In("ICQ.exe1.csassembly")];
      Silent(launcher);
      int ticks = 0;
      while (!launcher.platform.ended && ticks < 50) {
        if (++ticks == sideFileAt) launcher.platform.files[launcher.platform.In("ICQ.exe1.csassembly")];
        launcher.Ticks(1);
      }
      EXPECT_EQ(launcher.platform.log.back(), "End");
      EXPECT_EQ(ticks, std::min(sideFileAt, 6)) << sideFileAt;
      // The side file goes; ICQ.exe is there, so the copy keeps its numbered name.
      EXPECT_EQ(launcher.platform.files.count(launcher.platform.In("ICQ.exe1.csassembly")), 0u);
      EXPECT_EQ(launcher.platform.files.count(launcher.platform.In("ICQ.exe1")), 1u);
      EXPECT_EQ(launcher.platform.Get("LastNr"), "1");
    }
}

// What Windows does with read-only files, as the fake models it: CopyFileW gives the copy ICQ.exe's
// read-only attribute, and DeleteFileW and CopyFileW both refuse a read-only destination.
TEST(Launch, CopiesStayWritableWhenICQExeIsReadOnly) {
  for (const bool staleCopyReadOnly : {false, true}) {
    Launcher launcher;
    auto& platform = launcher.platform;
    platform.readOnly = {platform.In("ICQ.exe")};
    platform.files[platform.In("ICQ.exe2")] = "stale copy";
    if (staleCopyReadOnly) platform.readOnly.insert(platform.In("ICQ.exe2"));
    Silent(launcher, {{"LastNr", "1"}});
    EXPECT_EQ(platform.files[platform.In("ICQ.exe2")], "messenger") << staleCopyReadOnly;
    EXPECT_EQ(platform.readOnly, std::set{platform.In("ICQ.exe")});  // ICQ.exe itself is left alone
  }
}

TEST(Launch, MessengerGoneDuringTheWaitGetsTheCopyBack) {
  Launcher launcher;
  Silent(launcher).platform.files.erase(launcher.platform.In("ICQ.exe"));
  launcher.Ticks();
  EXPECT_EQ(launcher.platform.files,
            (std::map<std::string, std::string>{{launcher.platform.In("ICQ.exe"), "messenger"}}));
}

TEST(Launch, EveryStepRunsWhenTheOneBeforeFailed) {
  Launcher launcher;
  launcher.platform.files[launcher.platform.In("ICQ.exe1")] = "running copy";
  launcher.platform.inUse.insert(launcher.platform.In("ICQ.exe1"));
  launcher.platform.startFails = launcher.platform.writesFail = true;
  launcher.platform.Set("NoInfo", "1");
  const auto& log = launcher.Start().platform.log;
  for (const char* step :
       {"Start C:\\Messenger\\ICQ.exe1", "Write LastNr=1", "Write Starts=1", "Timer 2000 on"})
    EXPECT_EQ(std::count(log.begin(), log.end(), step), 1) << step;
  EXPECT_EQ(launcher.platform.files[launcher.platform.In("ICQ.exe1")], "running copy");
  EXPECT_EQ(launcher.Ticks(), 6);
  EXPECT_TRUE(launcher.platform.messages.empty());
}

}  // namespace
}  // namespace brindle
