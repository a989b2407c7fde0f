// The launcher's refusals: a missing ICQ.exe, a wrong executable name and a second running launcher.
// Each shows one error message, which the test answers with OK as a user would, and leaves the
// settings file as it was.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scenario.h"

namespace brindle::e2e {
namespace {

using Names = std::vector<std::string>;

struct GuardCase {
  const char* name;
  const char* arguments;
  MessageSeen message;
};

void PrintTo(const GuardCase& guard, std::ostream* out) {
  *out << guard.name;
}

std::string CaseName(const ::testing::TestParamInfo<GuardCase>& info) {
  return info.param.name;
}

// --- ICQ.exe missing -------------------------------------------------------------------------------

class MissingMessengerTest : public Scenario, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(MissingMessengerTest, TellsTheUserAndLeavesTheSettingsAlone) {
  PrepareEmpty();
  ASSERT_TRUE(folder().PlaceLauncher());
  const std::string settings =
      SettingsText({{"NoInfo", "1"}, {"MaxNr", "5"}, {"LastNr", "2"}, {"Starts", "4"}});
  ASSERT_TRUE(folder().WriteSettings(settings));

  const RunResult run = Run({.arguments = GetParam().arguments});

  EXPECT_EQ(run.messages, std::vector<MessageSeen>{GetParam().message});
  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(folder().SettingsBytes(), settings) << "LastNr and Starts must stay as they were";
  EXPECT_EQ(folder().Files(), (Names{"Tavu.exe", "tavu.ini"})) << "no copy may be made";
}

INSTANTIATE_TEST_SUITE_P(
    Guard, MissingMessengerTest,
    ::testing::Values(
        GuardCase{"English", "-english", {"Error", "Couldn't find the file ICQ.exe! Transaction canceled."}},
        GuardCase{"German",
                  "-german",
                  {"Fehler", "Die Datei ICQ.exe konnte nicht gefunden werden! Vorgang abgebrochen."}}),
    CaseName);

// --- Wrong executable name -------------------------------------------------------------------------

struct NameCase {
  const char* name;
  const char* exeName;
  GuardCase guard;
};

void PrintTo(const NameCase& name, std::ostream* out) {
  *out << name.name;
}

class WrongNameTest : public Scenario, public ::testing::WithParamInterface<NameCase> {};

TEST_P(WrongNameTest, RefusesToRun) {
  const NameCase& wrong = GetParam();
  PrepareEmpty();
  ASSERT_TRUE(folder().PlaceLauncher(wrong.exeName));
  ASSERT_TRUE(folder().PlaceMessenger());
  // Everything else is set for an immediate launch, which the name must prevent.
  const std::string settings = SettingsText({{"NoInfo", "1"}, {"LastNr", "1"}, {"Starts", "1"}});
  ASSERT_TRUE(folder().WriteSettings(settings));

  const RunResult run = Run({.arguments = wrong.guard.arguments}, wrong.exeName);

  EXPECT_EQ(run.messages, std::vector<MessageSeen>{wrong.guard.message});
  EXPECT_FALSE(run.windowShown);
  EXPECT_TRUE(folder().StandinLog().empty()) << "the messenger was started";
  EXPECT_EQ(folder().SettingsBytes(), settings);
  EXPECT_FALSE(FileExists(folder().AppFile("ICQ.exe2")));
}

const MessageSeen kWrongNameEnglish{"Error", "Wrong EXE name of Brindle."};
const MessageSeen kWrongNameGerman{"Fehler", "Falscher EXE-Name des Brindles"};

INSTANTIATE_TEST_SUITE_P(
    Guard, WrongNameTest,
    ::testing::Values(NameCase{"OtherNameEnglish", "Other.exe", {"", "-english", kWrongNameEnglish}},
                      NameCase{"OtherNameGerman", "Other.exe", {"", "-german", kWrongNameGerman}},
                      NameCase{"LowerCaseEnglish", "tavu.exe", {"", "-english", kWrongNameEnglish}},
                      NameCase{"LowerCaseGerman", "tavu.exe", {"", "-german", kWrongNameGerman}},
                      NameCase{"UpperCaseEnglish", "TAVU.EXE", {"", "-english", kWrongNameEnglish}},
                      NameCase{"LongerNameGerman", "Tavu2.exe", {"", "-german", kWrongNameGerman}}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

// --- A second launcher -----------------------------------------------------------------------------

// Starts a launcher whose messenger never leaves its side file, and returns once it is in its wait:
// the messenger has started and the launch is recorded. On a first launch the wait lasts twelve
// seconds, time enough for a second launcher to meet it.
std::optional<Process> StartWaitingLauncher(const TestFolder& folder) {
  std::optional<Process> first = folder.StartLauncher();
  if (!first) return std::nullopt;
  const Timestamp deadline = Later(Now(), std::chrono::seconds(60));
  while (Now() < deadline && first->Running()) {
    if (!EventsOfKind(folder.StandinLog(), "start").empty() && folder.Setting("LastNr") == "1") return first;
    SleepFor(std::chrono::milliseconds(50));
  }
  return std::nullopt;
}

class SecondLauncherTest : public Scenario, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(SecondLauncherTest, IsRefusedWhileTheFirstWaits) {
  Prepare({.sidefileDelayMs = kNever, .stayAliveMs = 500});
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));
  std::optional<Process> first = StartWaitingLauncher(folder());
  ASSERT_TRUE(first) << "the first launcher did not reach its wait";
  const std::optional<std::string> settingsBefore = folder().SettingsBytes();

  const RunResult second = Run({.arguments = GetParam().arguments});

  EXPECT_EQ(second.messages, std::vector<MessageSeen>{GetParam().message});
  EXPECT_TRUE(first->Running()) << "the first launcher had ended before the second was refused";
  EXPECT_EQ(folder().SettingsBytes(), settingsBefore) << "the second launcher wrote to tavu.ini";
  EXPECT_EQ(EventsOfKind(folder().StandinLog(), "start").size(), 1u);
  const RunResult firstRun = Watch(*first);
  EXPECT_TRUE(firstRun.ended);
  EXPECT_TRUE(firstRun.messages.empty());
  EXPECT_EQ(folder().Setting("Starts"), "1");
}

INSTANTIATE_TEST_SUITE_P(
    Guard, SecondLauncherTest,
    ::testing::Values(GuardCase{"English", "-english", {"Error", "Brindle is already running."}},
                      GuardCase{"German", "-german", {"Fehler", "Der Brindle läuft bereits."}}),
    CaseName);

class SingleInstanceTest : public Scenario {};

TEST_F(SingleInstanceTest, LauncherInAnotherFolderIsNotHeldBackByAWaitingOne) {
  Prepare({.sidefileDelayMs = kNever, .stayAliveMs = 500});
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));
  TestFolder other(CurrentTestName() + "-other");
  ASSERT_TRUE(other.ready() && other.PlaceLauncher() && other.PlaceMessenger());
  ASSERT_TRUE(other.WriteSettings(SettingsText({{"NoInfo", "1"}, {"Starts", "1"}})));
  std::optional<Process> first = StartWaitingLauncher(folder());
  ASSERT_TRUE(first) << "the first launcher did not reach its wait";

  std::optional<Process> second = other.StartLauncher();
  ASSERT_TRUE(second);
  const RunResult secondRun = Watch(*second);

  EXPECT_TRUE(secondRun.messages.empty());
  EXPECT_EQ(EventsOfKind(other.StandinLog(), "start").size(), 1u);
  EXPECT_EQ(other.Setting("Starts"), "2");
  EXPECT_TRUE(Watch(*first).ended);
  WaitForStandinsToEnd(other.app(), std::chrono::seconds(30));
}

}  // namespace
}  // namespace brindle::e2e
