// Launches without the information window (NoInfo=1): the numbered copy of ICQ.exe, how it is started,
// the settings written, and the wait for the messenger's side file before the launcher ends.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scenario.h"

namespace brindle::e2e {
namespace {

using Names = std::vector<std::string>;

// When the side file never comes, the launcher waits six ticks: 6 s, or 12 s on the very first launch.
// Halfway between the two leaves room for a busy machine.
constexpr double kFirstAndLaterWaitDivide = 9.0;

std::string SideFile(const std::string& copyName) {
  return copyName + std::string(kSideFileSuffix);
}

// The one start of the messenger in the launcher folder, or a failure.
std::optional<StandinEvent> OnlyStart(const TestFolder& folder) {
  WaitForStandinStarts(folder.app(), 1, std::chrono::seconds(30));
  const std::vector<StandinEvent> starts = EventsOfKind(folder.StandinLog(), "start");
  EXPECT_EQ(starts.size(), 1u) << "messenger starts logged";
  if (starts.size() != 1) return std::nullopt;
  return starts.front();
}

class LaunchTest : public Scenario {};

TEST_F(LaunchTest, SilentLaunchInFreshFolderStartsFirstCopyWithoutArguments) {
  Prepare();
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));

  // Started from another folder, so that "the launcher's working folder" and "the launcher folder"
  // differ and the messenger can show which one it inherited.
  const RunResult run = Run({.workingFolder = folder().base()});

  EXPECT_TRUE(run.messages.empty());
  EXPECT_FALSE(run.windowShown);
  const std::optional<StandinEvent> start = OnlyStart(folder());
  ASSERT_TRUE(start);
  EXPECT_TRUE(SamePath(start->module, folder().AppFile("ICQ.exe1"))) << start->module;
  EXPECT_EQ(ArgumentsAfterProgramName(start->commandLine), "") << start->commandLine;
  EXPECT_TRUE(SamePath(start->workingFolder, folder().base())) << start->workingFolder;
  EXPECT_EQ(folder().Setting("LastNr"), "1");
  EXPECT_EQ(folder().Setting("Starts"), "1");
  EXPECT_EQ(folder().Setting("NoInfo"), "1");
  EXPECT_EQ(folder().Setting("MaxNr"), std::nullopt) << "the launch itself never writes MaxNr";
  EXPECT_EQ(folder().Files(),
            (Names{"ICQ.exe", "ICQ.exe1", "Tavu.exe", "standin.cfg", "standin.log", "tavu.ini"}));
}

TEST_F(LaunchTest, SlotsRotateAcrossRuns) {
  Prepare();
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}, {"MaxNr", "3"}})));

  std::vector<std::string> lastNr;
  for (int run = 0; run < 4; ++run) {
    Run();
    lastNr.push_back(folder().Setting("LastNr").value_or("(none)"));
    WaitForStandinsToEnd(folder().app(), std::chrono::seconds(30));
  }

  EXPECT_EQ(lastNr, (Names{"1", "2", "3", "1"}));
  EXPECT_EQ(folder().Setting("Starts"), "4");
  EXPECT_EQ(folder().Setting("MaxNr"), "3");
  std::vector<std::string> modules;
  for (const StandinEvent& start : EventsOfKind(folder().StandinLog(), "start")) {
    modules.push_back(start.module.substr(start.module.find_last_of('\\') + 1));
  }
  EXPECT_EQ(modules, (Names{"ICQ.exe1", "ICQ.exe2", "ICQ.exe3", "ICQ.exe1"}));
}

struct SlotCase {
  const char* name;
  const char* maxNr;   // nullptr: key absent
  const char* lastNr;  // nullptr: key absent
  const char* expectedCopy;
};

void PrintTo(const SlotCase& slot, std::ostream* out) {
  *out << slot.name;
}

class SlotTest : public Scenario, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(SlotTest, TakesTheSlotAfterTheLastOne) {
  const SlotCase& slot = GetParam();
  Prepare();
  std::string settings = SettingsText({{"NoInfo", "1"}, {"Starts", "1"}});
  if (slot.maxNr) settings += std::string("MaxNr=") + slot.maxNr + "\r\n";
  if (slot.lastNr) settings += std::string("LastNr=") + slot.lastNr + "\r\n";
  ASSERT_TRUE(folder().WriteSettings(settings));

  const RunResult run = Run();

  EXPECT_TRUE(run.messages.empty());
  const std::optional<StandinEvent> start = OnlyStart(folder());
  ASSERT_TRUE(start);
  EXPECT_TRUE(SamePath(start->module, folder().AppFile(slot.expectedCopy))) << start->module;
  const std::string expectedSlot = std::string(slot.expectedCopy).substr(std::string("ICQ.exe").size());
  EXPECT_EQ(folder().Setting("LastNr"), expectedSlot);
  EXPECT_EQ(folder().Setting("Starts"), "2");
  EXPECT_EQ(folder().Setting("MaxNr"), slot.maxNr ? std::optional<std::string>(slot.maxNr) : std::nullopt)
      << "the stored count is not rewritten";
}

INSTANTIATE_TEST_SUITE_P(Rotation, SlotTest,
                         ::testing::Values(SlotCase{"NextSlot", "3", "1", "ICQ.exe2"},
                                           SlotCase{"LastSlotWrapsToFirst", "3", "3", "ICQ.exe1"},
                                           SlotCase{"BeyondTheSlotsRestartsAtOne", "3", "7", "ICQ.exe1"},
                                           SlotCase{"NegativeLastRestartsAtOne", "3", "-3", "ICQ.exe1"},
                                           SlotCase{"GarbageLastCountsAsZero", "3", "abc", "ICQ.exe1"},
                                           SlotCase{"NoCountMeansFiveSlots", nullptr, "4", "ICQ.exe5"},
                                           SlotCase{"NoCountFifthSlotWraps", nullptr, "5", "ICQ.exe1"},
                                           SlotCase{"CountAbove99MeansFiveSlots", "150", "4", "ICQ.exe5"},
                                           SlotCase{"CountAbove99FifthSlotWraps", "150", "5", "ICQ.exe1"},
                                           SlotCase{"CountOneMeansFiveSlots", "1", "4", "ICQ.exe5"},
                                           SlotCase{"CountTwoWraps", "2", "2", "ICQ.exe1"},
                                           SlotCase{"NinetyNineSlots", "99", "98", "ICQ.exe99"}),
                         [](const ::testing::TestParamInfo<SlotCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(LaunchTest, ReplacesAnOldCopyInItsSlot) {
  Prepare();
  ASSERT_TRUE(folder().WriteSettings(
      SettingsText({{"NoInfo", "1"}, {"MaxNr", "3"}, {"LastNr", "1"}, {"Starts", "5"}})));
  ASSERT_TRUE(WriteBytes(folder().AppFile("ICQ.exe2"), "an old copy that must be replaced"));

  Run();

  const std::optional<StandinEvent> start = OnlyStart(folder());
  ASSERT_TRUE(start);
  EXPECT_TRUE(SamePath(start->module, folder().AppFile("ICQ.exe2")));
  EXPECT_EQ(ReadBytes(folder().AppFile("ICQ.exe2")), ReadBytes(folder().AppFile("ICQ.exe")));
}

TEST_F(LaunchTest, SideFileAppearingLaterEndsTheWaitAtAFollowingTick) {
  // The very first launch waits up to six ticks of two seconds; the side file comes after three.
  Prepare({.sidefileDelayMs = 3000, .stayAliveMs = 5000});
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));

  const RunResult run = Run();

  ASSERT_TRUE(run.endedAt);
  const std::optional<StandinEvent> start = OnlyStart(folder());
  const std::vector<StandinEvent> sideFile = EventsOfKind(folder().StandinLog(), "sidefile");
  ASSERT_TRUE(start);
  ASSERT_EQ(sideFile.size(), 1u);
  EXPECT_GT(*run.endedAt, sideFile.front().time) << "the launcher ended before the side file appeared";
  EXPECT_LT(SecondsBetween(start->time, *run.endedAt), kFirstAndLaterWaitDivide)
      << "the launcher waited as if the side file never came";
  EXPECT_FALSE(FileExists(folder().AppFile(SideFile("ICQ.exe1")))) << "the side file was not deleted";
  EXPECT_TRUE(FileExists(folder().AppFile("ICQ.exe1"))) << "the copy stays under its numbered name";
  EXPECT_TRUE(FileExists(folder().AppFile("ICQ.exe")));
}

struct NeverCase {
  const char* name;
  const char* starts;  // nullptr: the very first launch
  bool firstLaunch;
};

void PrintTo(const NeverCase& never, std::ostream* out) {
  *out << never.name;
}

class NeverSideFileTest : public Scenario, public ::testing::WithParamInterface<NeverCase> {};

// Timer ticks never come early, so the launcher's whole life is at least the six ticks; measured from
// the messenger's start (which comes before the timer is armed) its end tells the tick length apart.
TEST_P(NeverSideFileTest, WaitEndsAtTheSixthTick) {
  const NeverCase& never = GetParam();
  Prepare({.sidefileDelayMs = kNever, .stayAliveMs = 500});
  std::string settings = SettingsText({{"NoInfo", "1"}});
  if (never.starts) settings += std::string("Starts=") + never.starts + "\r\n";
  ASSERT_TRUE(folder().WriteSettings(settings));

  const RunResult run = Run();

  ASSERT_TRUE(run.endedAt);
  const std::optional<StandinEvent> start = OnlyStart(folder());
  ASSERT_TRUE(start);
  const double afterMessengerStart = SecondsBetween(start->time, *run.endedAt);
  if (never.firstLaunch) {
    EXPECT_GT(run.seconds, 11.0) << "six ticks of two seconds";
    EXPECT_GT(afterMessengerStart, kFirstAndLaterWaitDivide);
  } else {
    EXPECT_GT(run.seconds, 5.5) << "six ticks of one second";
    EXPECT_LT(afterMessengerStart, kFirstAndLaterWaitDivide) << "ticks of two seconds after the first launch";
  }
  EXPECT_TRUE(FileExists(folder().AppFile("ICQ.exe1")));
  EXPECT_FALSE(FileExists(folder().AppFile(SideFile("ICQ.exe1"))));
}

INSTANTIATE_TEST_SUITE_P(Handover, NeverSideFileTest,
                         ::testing::Values(NeverCase{"FirstLaunchTicksTwoSeconds", nullptr, true},
                                           NeverCase{"LaterLaunchTicksOneSecond", "1", false}),
                         [](const ::testing::TestParamInfo<NeverCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(LaunchTest, SideFileAlreadyThereEndsAtOnceAndIsDeleted) {
  // A first launch, whose six ticks would take 12 s. (Ending at once and ending at the first tick,
  // 2 s later, are too close to tell apart on a busy machine; the unit tests cover that step.)
  Prepare({.sidefileDelayMs = kNever, .stayAliveMs = 500});
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));
  ASSERT_TRUE(WriteBytes(folder().AppFile(SideFile("ICQ.exe1")), "left by an earlier messenger"));

  const RunResult run = Run();

  EXPECT_LT(run.seconds, kFirstAndLaterWaitDivide);
  EXPECT_TRUE(OnlyStart(folder()));
  EXPECT_FALSE(FileExists(folder().AppFile(SideFile("ICQ.exe1"))));
  EXPECT_EQ(folder().Setting("LastNr"), "1");
  EXPECT_EQ(folder().Setting("Starts"), "1");
}

TEST_F(LaunchTest, FolderWithBlanksNeverStartsAProgramAnUnquotedPathWouldFind) {
  Prepare({}, "My Apps\\ICQ Folder");
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));
  // Where "<base>\My Apps\ICQ Folder\ICQ.exe1" without quotes would be looked for first.
  const std::string traps[] = {JoinPath(folder().base(), "My.exe"),
                               JoinPath(folder().base(), "My Apps\\ICQ.exe")};
  for (const std::string& trap : traps) ASSERT_TRUE(PlaceStandin(trap, {}));

  const RunResult run = Run();

  EXPECT_TRUE(run.messages.empty());
  const std::optional<StandinEvent> start = OnlyStart(folder());
  for (const std::string& trap : traps) {
    EXPECT_TRUE(ReadStandinLog(FolderOf(trap)).empty()) << trap << " was started";
  }
  ASSERT_TRUE(start);
  EXPECT_TRUE(SamePath(start->module, folder().AppFile("ICQ.exe1"))) << start->module;
  EXPECT_EQ(ArgumentsAfterProgramName(start->commandLine), "") << start->commandLine;
  EXPECT_EQ(folder().Setting("LastNr"), "1");
}

TEST_F(LaunchTest, FolderWithNonAsciiLetters) {
  Prepare({}, "Prüfungsordner Äöü");
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));

  const RunResult run = Run();

  EXPECT_TRUE(run.messages.empty());
  const std::optional<StandinEvent> start = OnlyStart(folder());
  ASSERT_TRUE(start);
  EXPECT_TRUE(SamePath(start->module, folder().AppFile("ICQ.exe1"))) << start->module;
  EXPECT_EQ(folder().Setting("LastNr"), "1");
  EXPECT_EQ(folder().Setting("Starts"), "1");
  EXPECT_FALSE(FileExists(folder().AppFile(SideFile("ICQ.exe1"))));
}

}  // namespace
}  // namespace brindle::e2e
