// The launcher under load: many launches one after the other from one folder, and several launchers
// started at the same moment. Slots must rotate exactly, counts must add up and the settings file must
// stay whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Scenario.h"

namespace brindle::e2e {
namespace {

using Names = std::vector<std::string>;

std::string CopyName(int slot) {
  return std::string(kMessengerExe) + std::to_string(slot);
}

std::string SideFile(int slot) {
  return CopyName(slot) + std::string(kSideFileSuffix);
}

Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

class LoadTest : public Scenario {};

TEST_F(LoadTest, FiftyLaunchesRotateThroughTheSlotsAndCountEveryOne) {
  constexpr int kLaunches = 50;
  constexpr int kSlots = 7;
  // Each launch finds the messenger's side file in place at once, so it ends without waiting for
  // ticks; the stand-in itself leaves none, so any side file left afterwards is the launcher's.
  Prepare({.sidefileDelayMs = kNever, .stayAliveMs = 300});
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}, {"MaxNr", std::to_string(kSlots)}})));

  Names expectedCopies;
  for (int launch = 1; launch <= kLaunches; ++launch) {
    const int slot = (launch - 1) % kSlots + 1;
    expectedCopies.push_back(CopyName(slot));
    ASSERT_TRUE(WriteBytes(folder().AppFile(SideFile(slot)), "left by the messenger"));
    std::optional<Process> launcher = folder().StartLauncher({.arguments = "-english"});
    ASSERT_TRUE(launcher);

    const RunResult run = Watch(*launcher);

    // The first wrong step ends the loop: later launches would each wait for a side file in vain.
    ASSERT_TRUE(run.ended) << "launch " << launch;
    ASSERT_EQ(launcher->ExitCode(), 0u) << "launch " << launch;
    ASSERT_EQ(run.messages, std::vector<MessageSeen>{}) << "launch " << launch;
    ASSERT_FALSE(run.windowShown) << "launch " << launch;
    ASSERT_EQ(folder().Setting("LastNr"), std::to_string(slot)) << "launch " << launch;
    ASSERT_EQ(folder().Setting("Starts"), std::to_string(launch)) << "launch " << launch;
    ASSERT_FALSE(FileExists(folder().AppFile(SideFile(slot)))) << "launch " << launch;
  }

  ASSERT_TRUE(WaitForStandinStarts(folder().app(), kLaunches, std::chrono::seconds(30)));
  EXPECT_TRUE(WaitForStandinsToEnd(folder().app(), std::chrono::seconds(30)));
  Names started;
  for (const StandinEvent& start : EventsOfKind(folder().StandinLog(), "start")) {
    started.push_back(start.module.substr(start.module.find_last_of('\\') + 1));
  }
  // Stand-ins of launches close together may log their starts out of order.
  EXPECT_EQ(Sorted(started), Sorted(expectedCopies));
  Names expectedFiles{"ICQ.exe", "Tavu.exe", "standin.cfg", "standin.log", "tavu.ini"};
  for (int slot = 1; slot <= kSlots; ++slot) expectedFiles.push_back(CopyName(slot));
  EXPECT_EQ(folder().Files(), Sorted(expectedFiles)) << "only the copies of the slots, and no side file";
  const std::optional<std::string> messenger = ReadBytes(folder().AppFile(kMessengerExe));
  for (int slot = 1; slot <= kSlots; ++slot) {
    // Compared as a whole: a failure would print the programs byte by byte.
    EXPECT_TRUE(ReadBytes(folder().AppFile(CopyName(slot))) == messenger)
        << CopyName(slot) << " is not a whole copy";
  }
  EXPECT_EQ(folder().Setting("Starts"), "50");
  EXPECT_EQ(folder().Setting("MaxNr"), "7");
}

TEST_F(LoadTest, FiveLaunchersAtTheSameMomentOnlyOneProceeds) {
  constexpr int kLaunchers = 5;
  // The messenger leaves no side file, so the launcher that proceeds waits its full twelve seconds:
  // long enough that every other one meets it, even on a busy machine.
  Prepare({.sidefileDelayMs = kNever, .stayAliveMs = 500});
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));

  std::vector<Process> launchers = Process::StartTogether(
      folder().AppFile(kLauncherExe), {.arguments = "-english", .workingFolder = folder().app()}, kLaunchers);
  ASSERT_EQ(launchers.size(), static_cast<std::size_t>(kLaunchers));
  // One after the other: the refused ones wait with their message box until they are looked at.
  std::vector<RunResult> runs;
  for (Process& launcher : launchers) {
    runs.push_back(Watch(launcher));
    EXPECT_TRUE(runs.back().ended) << "launcher " << launcher.pid() << " did not end";
    EXPECT_EQ(launcher.ExitCode(), 0u) << "launcher " << launcher.pid();
    EXPECT_FALSE(runs.back().windowShown);
  }

  const std::vector<MessageSeen> refused{{"Error", "Brindle is already running."}};
  const auto proceeded =
      std::count_if(runs.begin(), runs.end(), [](const RunResult& run) { return run.messages.empty(); });
  const auto wereRefused =
      std::count_if(runs.begin(), runs.end(), [&](const RunResult& run) { return run.messages == refused; });
  EXPECT_EQ(proceeded, 1) << "launchers that went on to launch";
  EXPECT_EQ(wereRefused, kLaunchers - 1) << "launchers refused with exactly the one message";
  const std::vector<StandinEvent> starts = EventsOfKind(folder().StandinLog(), "start");
  ASSERT_EQ(starts.size(), 1u) << "messenger starts";
  EXPECT_TRUE(SamePath(starts.front().module, folder().AppFile(CopyName(1)))) << starts.front().module;

  const std::optional<std::string> settings = folder().SettingsBytes();
  ASSERT_TRUE(settings) << "tavu.ini is gone";
  EXPECT_EQ(MalformedIniLines(*settings), Names{}) << *settings;
  EXPECT_EQ(Sorted(IniKeys(*settings, kSettingsSection)), (Names{"LastNr", "NoInfo", "Starts"})) << *settings;
  EXPECT_EQ(folder().Setting("LastNr"), "1");
  EXPECT_EQ(folder().Setting("Starts"), "1");
  EXPECT_EQ(folder().Setting("NoInfo"), "1");
  EXPECT_EQ(folder().Files(),
            (Names{"ICQ.exe", "ICQ.exe1", "Tavu.exe", "standin.cfg", "standin.log", "tavu.ini"}));
}

}  // namespace
}  // namespace brindle::e2e
