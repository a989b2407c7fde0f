#include <gtest/gtest.h>

#include <algorithm>

#include "Harness.h"
#include "launcher/Launch.h"

namespace brindle {
namespace {

using test::Launcher;

struct SlotCase {
  const char* lastNr;  // nullptr: no key
  const char* maxNr;
  const char* expectedCopy;
};

class SlotRotationTest : public testing::TestWithParam<SlotCase> {};

TEST_P(SlotRotationTest, TakesTheSlotAfterTheLastOne) {
  const auto& c = GetParam();
  Launcher launcher;
  if (c.lastNr) launcher.platform.SetSetting("LastNr", c.lastNr);
  if (c.maxNr) launcher.platform.SetSetting("MaxNr", c.maxNr);
  launcher.StartSilently();

  const std::string copy = std::string(test::kFolder) + c.expectedCopy;
  EXPECT_EQ(launcher.platform.startedPrograms, std::vector<std::string>{copy});
  EXPECT_TRUE(launcher.platform.files.count(copy));
  EXPECT_EQ(launcher.SettingOr("LastNr"), std::string(c.expectedCopy).substr(7));
  // The slot count is only read here, never rewritten.
  EXPECT_EQ(launcher.platform.Setting("MaxNr"), c.maxNr ? std::optional<std::string>(c.maxNr) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Slots, SlotRotationTest,
                         testing::Values(SlotCase{nullptr, nullptr, "ICQ.exe1"},
                                         SlotCase{"2", "5", "ICQ.exe3"}, SlotCase{"4", "5", "ICQ.exe5"},
                                         SlotCase{"5", "5", "ICQ.exe1"}, SlotCase{"3", "3", "ICQ.exe1"},
                                         SlotCase{"7", "3", "ICQ.exe1"}, SlotCase{"2", "3", "ICQ.exe3"},
                                         SlotCase{"4", "150", "ICQ.exe5"}, SlotCase{"5", "150", "ICQ.exe1"},
                                         SlotCase{"1", "1", "ICQ.exe2"}, SlotCase{"98", "99", "ICQ.exe99"},
                                         SlotCase{"99", "99", "ICQ.exe1"}, SlotCase{"1", "2", "ICQ.exe2"},
                                         SlotCase{"-1", "5", "ICQ.exe1"}, SlotCase{"0", "5", "ICQ.exe1"},
                                         SlotCase{"junk", "junk", "ICQ.exe1"},
                                         SlotCase{"2147483647", "99", "ICQ.exe1"},
                                         SlotCase{"3", "-4", "ICQ.exe4"}));

TEST(SlotRotationTest, RunsThroughAllSlotsAndWraps) {
  fake::FakePlatform platform;
  std::vector<std::string> started;
  platform.SetSetting("MaxNr", "3");
  platform.SetSetting("NoInfo", "1");
  platform.files[platform.FileIn("ICQ.exe")] = "messenger";
  for (int run = 0; run < 7; ++run) {
    platform.ended = false;
    platform.timer.reset();
    platform.startedPrograms.clear();
    Form1 form(platform);
    form.OnLoad();
    platform.RunTimerUntilEnded(form);
    ASSERT_EQ(platform.startedPrograms.size(), 1u);
    started.push_back(platform.startedPrograms[0].substr(platform.startedPrograms[0].size() - 1));
  }
  EXPECT_EQ(started, (std::vector<std::string>{"1", "2", "3", "1", "2", "3", "1"}));
  EXPECT_EQ(platform.Setting("Starts"), "7");
}

TEST(LaunchCountTest, HeldAtItsMaximum) {
  EXPECT_EQ(NextLaunchCount(0), 1);
  EXPECT_EQ(NextLaunchCount(41), 42);
  EXPECT_EQ(NextLaunchCount(2147483646), 2147483647);
  EXPECT_EQ(NextLaunchCount(2147483647), 2147483647);
}

TEST(LaunchTest, FreshFolderMakesTheFirstCopyAndUsesLongTicks) {
  Launcher launcher;
  launcher.StartSilently();
  EXPECT_TRUE(launcher.Has("ICQ.exe1"));
  EXPECT_EQ(launcher.SettingOr("LastNr"), "1");
  EXPECT_EQ(launcher.SettingOr("Starts"), "1");
  ASSERT_TRUE(launcher.platform.timer.has_value());
  EXPECT_EQ(launcher.platform.timer->intervalMs, 2000);
  EXPECT_TRUE(launcher.platform.timer->enabled);
  EXPECT_FALSE(launcher.platform.ended);
}

struct IntervalCase {
  const char* starts;
  int intervalMs;
  const char* written;
};

class TickIntervalTest : public testing::TestWithParam<IntervalCase> {};

TEST_P(TickIntervalTest, OnlyTheVeryFirstLaunchWaitsLonger) {
  Launcher launcher;
  if (GetParam().starts) launcher.platform.SetSetting("Starts", GetParam().starts);
  launcher.StartSilently();
  ASSERT_TRUE(launcher.platform.timer.has_value());
  EXPECT_EQ(launcher.platform.timer->intervalMs, GetParam().intervalMs);
  EXPECT_EQ(launcher.SettingOr("Starts"), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Intervals, TickIntervalTest,
                         testing::Values(IntervalCase{nullptr, 2000, "1"}, IntervalCase{"0", 2000, "1"},
                                         IntervalCase{"-5", 2000, "-4"}, IntervalCase{"1", 1000, "2"},
                                         IntervalCase{"41", 1000, "42"}, IntervalCase{"garbage", 2000, "1"},
                                         IntervalCase{"2147483647", 1000, "2147483647"}));

TEST(LaunchTest, OrderOfTheLaunchSteps) {
  Launcher launcher;
  launcher.platform.SetSetting("Starts", "4");
  launcher.platform.files[launcher.platform.FileIn("ICQ.exe1")] = "old copy";
  launcher.StartSilently();
  const std::vector<std::string> expected{"Delete C:\\Messenger\\ICQ.exe1",
                                          "Copy C:\\Messenger\\ICQ.exe -> C:\\Messenger\\ICQ.exe1",
                                          "PumpEvents",
                                          "Start C:\\Messenger\\ICQ.exe1",
                                          "PumpEvents",
                                          "Write LastNr=1",
                                          "Write Starts=5",
                                          "PumpEvents",
                                          "Timer 1000 on"};
  const auto& calls = launcher.platform.calls;
  const auto first = std::find(calls.begin(), calls.end(), expected.front());
  ASSERT_NE(first, calls.end());
  EXPECT_EQ(std::vector<std::string>(first, calls.end()), expected);
  EXPECT_EQ(launcher.platform.files[launcher.platform.FileIn("ICQ.exe1")], "messenger");
}

TEST(LaunchTest, SideFileSeenAtALaterTickEndsTheWait) {
  Launcher launcher;
  launcher.StartSilently();
  EXPECT_TRUE(launcher.platform.FireTimer(launcher.form));
  EXPECT_TRUE(launcher.platform.FireTimer(launcher.form));
  EXPECT_FALSE(launcher.platform.ended);
  launcher.platform.files[launcher.platform.FileIn("ICQ.exe1.csassembly")] = "";
  EXPECT_TRUE(launcher.platform.FireTimer(launcher.form));
  EXPECT_TRUE(launcher.platform.ended);
  EXPECT_FALSE(launcher.Has("ICQ.exe1.csassembly"));
  // ICQ.exe is still there, so the rename back fails and the copy keeps its numbered name.
  EXPECT_TRUE(launcher.Has("ICQ.exe1"));
  EXPECT_EQ(launcher.platform.files[launcher.platform.FileIn("ICQ.exe")], "messenger");
}

TEST(LaunchTest, WithoutSideFileTheSixthTickEndsTheWait) {
  Launcher launcher;
  launcher.StartSilently();
  for (int tick = 1; tick <= 5; ++tick) {
    ASSERT_TRUE(launcher.platform.FireTimer(launcher.form));
    EXPECT_FALSE(launcher.platform.ended) << "ended at tick " << tick;
  }
  ASSERT_TRUE(launcher.platform.FireTimer(launcher.form));
  EXPECT_TRUE(launcher.platform.ended);
  EXPECT_TRUE(launcher.platform.messages.empty());
}

TEST(LaunchTest, SideFileAlreadyThereEndsAtOnceWithoutTimer) {
  Launcher launcher;
  launcher.platform.files[launcher.platform.FileIn("ICQ.exe1.csassembly")] = "";
  launcher.StartSilently();
  EXPECT_TRUE(launcher.platform.ended);
  EXPECT_FALSE(launcher.platform.timer.has_value());
  EXPECT_FALSE(launcher.Has("ICQ.exe1.csassembly"));
  EXPECT_EQ(launcher.platform.startedPrograms.size(), 1u);
  EXPECT_EQ(launcher.SettingOr("LastNr"), "1");
}

TEST(LaunchTest, MessengerGoneDuringTheWaitGetsTheCopyBack) {
  Launcher launcher;
  launcher.StartSilently();
  launcher.platform.files.erase(launcher.platform.FileIn("ICQ.exe"));
  launcher.platform.RunTimerUntilEnded(launcher.form);
  EXPECT_TRUE(launcher.Has("ICQ.exe"));
  EXPECT_FALSE(launcher.Has("ICQ.exe1"));
}

struct MissingCase {
  const char* commandLine;
  const char* text;
  const char* title;
};

class MissingMessengerTest : public testing::TestWithParam<MissingCase> {};

TEST_P(MissingMessengerTest, SaysSoAndLeavesTheCountersAlone) {
  Launcher launcher;
  launcher.platform.files.clear();
  launcher.platform.SetSetting("LastNr", "2");
  launcher.platform.SetSetting("Starts", "9");
  launcher.platform.commandLine = GetParam().commandLine;
  launcher.StartSilently();

  ASSERT_EQ(launcher.platform.messages.size(), 1u);
  EXPECT_EQ(launcher.platform.messages[0].text, GetParam().text);
  EXPECT_EQ(launcher.platform.messages[0].title, GetParam().title);
  EXPECT_EQ(launcher.platform.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_TRUE(launcher.platform.ended);
  EXPECT_EQ(launcher.SettingOr("LastNr"), "2");
  EXPECT_EQ(launcher.SettingOr("Starts"), "9");
  EXPECT_TRUE(launcher.platform.files.empty());
  EXPECT_TRUE(launcher.platform.startedPrograms.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MissingMessengerTest,
    testing::Values(MissingCase{"-english", "Couldn't find the file ICQ.exe! Transaction canceled.", "Error"},
                    MissingCase{"-german",
                                "Die Datei ICQ.exe konnte nicht gefunden werden! Vorgang abgebrochen.",
                                "Fehler"}));

TEST(LaunchTest, RunningCopyIsStartedAgainAndTheSlotStillCounts) {
  Launcher launcher;
  launcher.platform.files[launcher.platform.FileIn("ICQ.exe1")] = "old copy";
  launcher.platform.lockedFiles.insert(launcher.platform.FileIn("ICQ.exe1"));
  launcher.StartSilently();
  EXPECT_EQ(launcher.platform.files[launcher.platform.FileIn("ICQ.exe1")], "old copy");
  EXPECT_EQ(launcher.platform.startedPrograms.size(), 1u);
  EXPECT_EQ(launcher.SettingOr("LastNr"), "1");
  EXPECT_EQ(launcher.platform.RunTimerUntilEnded(launcher.form), 6);
}

TEST(LaunchTest, EveryStepRunsWhenTheOneBeforeFailed) {
  Launcher launcher;
  launcher.platform.copyFails = true;
  launcher.platform.startFails = true;
  launcher.platform.profileReadOnly = true;
  launcher.platform.SetSetting("NoInfo", "1");  // set before writes are refused
  launcher.Start();
  const auto& calls = launcher.platform.calls;
  for (const char* step :
       {"Start C:\\Messenger\\ICQ.exe1", "Write LastNr=1", "Write Starts=1", "Timer 2000 on"})
    EXPECT_NE(std::find(calls.begin(), calls.end(), step), calls.end()) << step;
  EXPECT_EQ(launcher.platform.RunTimerUntilEnded(launcher.form), 6);
  EXPECT_TRUE(launcher.platform.messages.empty());
}

}  // namespace
}  // namespace brindle
