// Faults around the launcher that a user's machine may hold: a settings file that is garbage, holds a
// number far too long or is locked by another program; the copy in the chosen slot still running; a
// folder where ICQ.exe should be. Nothing may crash, hang or show a message the launcher does not
// know, and whatever can still be launched is launched.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Scenario.h"

namespace brindle::e2e {
namespace {

using Names = std::vector<std::string>;

std::string SideFile(std::string_view copyName) {
  return std::string(copyName) + std::string(kSideFileSuffix);
}

std::string FileNameOf(std::string_view path) {
  return std::string(path.substr(path.find_last_of('\\') + 1));
}

// The file names the stand-ins in the folder were started from, in the order they logged it.
Names StartedCopies(const TestFolder& folder) {
  Names copies;
  for (const StandinEvent& start : EventsOfKind(folder.StandinLog(), "start")) {
    copies.push_back(FileNameOf(start.module));
  }
  return copies;
}

class FaultScenario : public Scenario {
 protected:
  // Starts Tavu.exe in the test's folder and watches it to its end; fails the test when it does not
  // end in time.
  RunResult RunToEnd(WindowAnswer answer, const LaunchOptions& options) {
    std::optional<Process> launcher = folder().StartLauncher(options);
    if (!launcher) {
      ADD_FAILURE() << "could not start " << folder().AppFile(kLauncherExe);
      return {};
    }
    RunResult result = Watch(*launcher, answer);
    EXPECT_TRUE(result.ended) << "the launcher did not end within " << kRunTimeout.count() << " s";
    exitCode_ = launcher->ExitCode();
    return result;
  }

  // The exit code of the last run; a crash shows here as an exception code instead of 0.
  std::optional<unsigned long> exitCode() const { return exitCode_; }

 private:
  std::optional<unsigned long> exitCode_;
};

// --- A settings file of garbage ----------------------------------------------------------------------

// The same bytes on every run, so a failure can be repeated: every value 0 to 255, NULs and line ends
// included, from a fixed seed.
std::string Garbage(std::uint32_t seed, std::size_t size) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(byte(generator));
  return bytes;
}

struct GarbageCase {
  const char* name;
  std::string settings;
  bool windowExpected;       // NoInfo cannot be read: the window comes and is answered with OK
  const char* expectedCopy;  // the slot launched
  std::string expectedStarts;
};

void PrintTo(const GarbageCase& garbage, std::ostream* out) {
  *out << garbage.name;
}

class GarbageSettingsTest : public FaultScenario, public ::testing::WithParamInterface<GarbageCase> {};

TEST_P(GarbageSettingsTest, LaunchesAndEndsNormally) {
  const GarbageCase& garbage = GetParam();
  Prepare();
  ASSERT_TRUE(folder().WriteSettings(garbage.settings));

  const RunResult run = RunToEnd(WindowAnswer::Ok, {.arguments = "-english"});

  EXPECT_EQ(exitCode(), 0u);
  EXPECT_EQ(run.messages, std::vector<MessageSeen>{});
  EXPECT_EQ(run.windowShown, garbage.windowExpected);
  ASSERT_TRUE(WaitForStandinStarts(folder().app(), 1, std::chrono::seconds(30))) << "nothing was launched";
  EXPECT_EQ(StartedCopies(folder()), Names{garbage.expectedCopy});
  const std::string slot = std::string(garbage.expectedCopy).substr(kMessengerExe.size());
  const std::optional<std::string> written = folder().SettingsBytes();
  ASSERT_TRUE(written) << "tavu.ini is gone";
  const std::string text = ProfileText(*written);
  EXPECT_EQ(IniValue(text, kSettingsSection, "LastNr"), slot);
  EXPECT_EQ(IniValue(text, kSettingsSection, "Starts"), garbage.expectedStarts);
  if (garbage.windowExpected) {
    EXPECT_EQ(IniValue(text, kSettingsSection, "NoInfo"), "0") << "written when the window was shown";
    EXPECT_EQ(IniValue(text, kSettingsSection, "MaxNr"), "5") << "the count box's 5, stored by OK";
  }
  EXPECT_FALSE(FileExists(folder().AppFile(SideFile(garbage.expectedCopy))));
}

// Garbage that starts like text in another encoding: the profile functions choose the encoding by the
// first bytes, and keep writing the file in it.
const std::string kUtf16Mark = "\xFF\xFE";
const std::string kUtf8Mark = "\xEF\xBB\xBF";
// A settings section that can still be read, after a line of control characters and brackets.
const std::string kSectionAfterGarbage = "\r\n[Brindle]\r\nNoInfo=1\r\nMaxNr=7\r\nLastNr=3\r\nStarts=9\r\n";

INSTANTIATE_TEST_SUITE_P(
    Fault, GarbageSettingsTest,
    ::testing::Values(
        GarbageCase{"RandomBytes", Garbage(1, 4096), true, "ICQ.exe1", "1"},
        GarbageCase{"RandomBytesAfterUtf16Mark", kUtf16Mark + Garbage(2, 4096), true, "ICQ.exe1", "1"},
        GarbageCase{"RandomBytesAfterUtf8Mark", kUtf8Mark + Garbage(3, 4096), true, "ICQ.exe1", "1"},
        GarbageCase{"TextGarbageBeforeTheSection",
                    "\x01\x7F garbage ]]] [[[ ==== \x1B[0m\r\n" + kSectionAfterGarbage, false, "ICQ.exe4",
                    "10"}),
    [](const ::testing::TestParamInfo<GarbageCase>& info) { return std::string(info.param.name); });

// --- Numbers far too long ----------------------------------------------------------------------------

// Longer than the 9999-character buffer the launcher reads a value with: it comes back cut to 9998
// characters, which no 32-bit number holds; and the value "3" hidden behind 11,999 zeros comes back as
// zeros only.
const std::string kTwelveThousandNines(12000, '9');
const std::string kThreeAfterZeros = std::string(11999, '0') + "3";
const std::string kSevenAfterZeros = std::string(11999, '0') + "7";

struct LongNumberCase {
  const char* name;
  std::string maxNr;
  std::string lastNr;
  std::string starts;
  const char* expectedCopy;
  std::string expectedStarts;
};

void PrintTo(const LongNumberCase& number, std::ostream* out) {
  *out << number.name;
}

class LongNumberTest : public FaultScenario, public ::testing::WithParamInterface<LongNumberCase> {};

TEST_P(LongNumberTest, CountsAsZeroAndTheLaunchGoesOn) {
  const LongNumberCase& number = GetParam();
  Prepare();
  const std::string settings = "[Brindle]\r\nNoInfo=1\r\nMaxNr=" + number.maxNr +
                               "\r\nLastNr=" + number.lastNr + "\r\nStarts=" + number.starts + "\r\n";
  ASSERT_TRUE(folder().WriteSettings(settings));

  const RunResult run = RunToEnd(WindowAnswer::Close, {.arguments = "-english"});

  EXPECT_EQ(exitCode(), 0u);
  EXPECT_EQ(run.messages, std::vector<MessageSeen>{});
  EXPECT_FALSE(run.windowShown);
  ASSERT_TRUE(WaitForStandinStarts(folder().app(), 1, std::chrono::seconds(30))) << "nothing was launched";
  EXPECT_EQ(StartedCopies(folder()), Names{number.expectedCopy});
  const std::string slot = std::string(number.expectedCopy).substr(kMessengerExe.size());
  EXPECT_EQ(folder().Setting("LastNr"), slot);
  EXPECT_EQ(folder().Setting("Starts"), number.expectedStarts);
  // Compared as a whole: a failure would print all 12,000 digits.
  EXPECT_TRUE(folder().Setting("MaxNr") == number.maxNr) << "the launch never rewrites the count";
  EXPECT_EQ(folder().Setting("NoInfo"), "1");
  const std::optional<std::string> written = folder().SettingsBytes();
  ASSERT_TRUE(written);
  EXPECT_TRUE(MalformedIniLines(*written).empty()) << "tavu.ini no longer well-formed";
}

INSTANTIATE_TEST_SUITE_P(
    Fault, LongNumberTest,
    ::testing::Values(
        LongNumberCase{"LastNrTwelveThousandNines", "7", kTwelveThousandNines, "9", "ICQ.exe1", "10"},
        LongNumberCase{"LastNrThreeAfterZeros", "7", kThreeAfterZeros, "9", "ICQ.exe1", "10"},
        LongNumberCase{"StartsTwelveThousandNines", "7", "3", kTwelveThousandNines, "ICQ.exe4", "1"},
        LongNumberCase{"MaxNrSevenAfterZerosMeansFiveSlots", kSevenAfterZeros, "5", "9", "ICQ.exe1", "10"}),
    [](const ::testing::TestParamInfo<LongNumberCase>& info) { return std::string(info.param.name); });

// --- A settings file locked by another program -------------------------------------------------------

class LockedSettingsTest : public FaultScenario {};

// Every read fails, so the start is a first start: the window comes (answered with OK), slot 1 of five,
// the first launch; every write fails and is lost without a word.
TEST_F(LockedSettingsTest, EveryStartIsAFirstStartAndTheFileStaysAsItWas) {
  Prepare();
  const std::string settings =
      SettingsText({{"NoInfo", "1"}, {"MaxNr", "7"}, {"LastNr", "3"}, {"Starts", "9"}});
  ASSERT_TRUE(folder().WriteSettings(settings));
  std::optional<LockedFile> lock = LockedFile::Lock(folder().AppFile(kSettingsFile));
  ASSERT_TRUE(lock) << "could not lock tavu.ini";
  ASSERT_FALSE(folder().SettingsBytes()) << "the lock does not keep other readers out";

  const RunResult run = RunToEnd(WindowAnswer::Ok, {.arguments = "-english"});
  const bool stillLocked = !folder().SettingsBytes();
  lock->Unlock();

  EXPECT_TRUE(stillLocked);
  EXPECT_EQ(exitCode(), 0u);
  EXPECT_EQ(run.messages, std::vector<MessageSeen>{});
  EXPECT_TRUE(run.windowShown) << "NoInfo cannot be read, so the window is due";
  ASSERT_TRUE(WaitForStandinStarts(folder().app(), 1, std::chrono::seconds(30))) << "nothing was launched";
  EXPECT_EQ(StartedCopies(folder()), Names{"ICQ.exe1"});
  EXPECT_EQ(folder().SettingsBytes(), settings);
  EXPECT_FALSE(FileExists(folder().AppFile(SideFile("ICQ.exe1"))));
}

// The same where the settings file's name is taken by a folder: nothing can be read or written there.
TEST_F(LockedSettingsTest, SettingsNameTakenByAFolder) {
  Prepare();
  ASSERT_TRUE(MakeFolders(folder().AppFile(kSettingsFile)));

  const RunResult run = RunToEnd(WindowAnswer::Ok, {.arguments = "-english"});

  EXPECT_EQ(exitCode(), 0u);
  EXPECT_EQ(run.messages, std::vector<MessageSeen>{});
  EXPECT_TRUE(run.windowShown) << "NoInfo cannot be read, so the window is due";
  ASSERT_TRUE(WaitForStandinStarts(folder().app(), 1, std::chrono::seconds(30))) << "nothing was launched";
  EXPECT_EQ(StartedCopies(folder()), Names{"ICQ.exe1"});
  EXPECT_TRUE(FolderExists(folder().AppFile(kSettingsFile)));
  EXPECT_EQ(FileNames(folder().AppFile(kSettingsFile)), Names{});
}

// --- The copy in the chosen slot still running -------------------------------------------------------

class RunningCopyTest : public FaultScenario {};

TEST_F(RunningCopyTest, StartsTheOldCopyAgainAndRecordsTheSlot) {
  // The messenger already running from ICQ.exe2 stays up for the whole run, so its file is locked.
  constexpr StandinConfig kStaysUp{.sidefileDelayMs = kNever, .stayAliveMs = 20000};
  Prepare(kStaysUp);
  const std::string runningCopy = folder().AppFile("ICQ.exe2");
  ASSERT_TRUE(CopyFileTo(BuiltProgram(kStandinExe), runningCopy));
  // ICQ.exe differs from the running copy (a stand-in with bytes appended), so what is in ICQ.exe2
  // afterwards tells whether anything was copied over it.
  const std::optional<std::string> standin = ReadBytes(BuiltProgram(kStandinExe));
  ASSERT_TRUE(standin);
  const std::string messenger = *standin + std::string(4096, 'N');
  ASSERT_TRUE(WriteBytes(folder().AppFile(kMessengerExe), messenger));
  std::optional<Process> running = Process::Start(runningCopy, {});
  ASSERT_TRUE(running);
  ASSERT_TRUE(WaitForStandinStarts(folder().app(), 1, std::chrono::seconds(30)));
  // The instance the launcher starts leaves its side file at once and ends soon.
  ASSERT_TRUE(WriteBytes(folder().AppFile(kStandinConfigFile),
                         StandinConfigText({.sidefileDelayMs = 0, .stayAliveMs = 1000})));
  ASSERT_TRUE(folder().WriteSettings(
      SettingsText({{"NoInfo", "1"}, {"MaxNr", "3"}, {"LastNr", "1"}, {"Starts", "5"}})));

  const RunResult run = RunToEnd(WindowAnswer::Close, {.arguments = "-english"});

  EXPECT_TRUE(running->Running()) << "the running copy ended before the launcher did";
  EXPECT_EQ(exitCode(), 0u);
  EXPECT_EQ(run.messages, std::vector<MessageSeen>{});
  EXPECT_FALSE(run.windowShown);
  EXPECT_TRUE(WaitForStandinStarts(folder().app(), 2, std::chrono::seconds(30)));
  EXPECT_EQ(StartedCopies(folder()), (Names{"ICQ.exe2", "ICQ.exe2"})) << "the old copy is started once more";
  // Compared as a whole: a failure would print the programs byte by byte.
  EXPECT_TRUE(ReadBytes(runningCopy) == standin) << "the running copy's file was changed";
  EXPECT_TRUE(ReadBytes(folder().AppFile(kMessengerExe)) == messenger) << "ICQ.exe was changed";
  EXPECT_EQ(folder().Setting("LastNr"), "2") << "the slot is recorded as used";
  EXPECT_EQ(folder().Setting("Starts"), "6");
  EXPECT_FALSE(FileExists(folder().AppFile(SideFile("ICQ.exe2"))));
  EXPECT_TRUE(running->WaitForExit(std::chrono::seconds(60)));
}

// --- ICQ.exe a folder --------------------------------------------------------------------------------

struct FolderCase {
  const char* name;
  const char* arguments;
  MessageSeen message;
};

void PrintTo(const FolderCase& folder, std::ostream* out) {
  *out << folder.name;
}

class MessengerFolderTest : public FaultScenario, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(MessengerFolderTest, CountsAsMissing) {
  PrepareEmpty();
  ASSERT_TRUE(folder().PlaceLauncher());
  ASSERT_TRUE(MakeFolders(folder().AppFile(kMessengerExe)));
  // A messenger inside that folder, which must not be taken for it either.
  ASSERT_TRUE(PlaceStandin(JoinPath(folder().AppFile(kMessengerExe), kMessengerExe), {}));
  const std::string settings =
      SettingsText({{"NoInfo", "1"}, {"MaxNr", "5"}, {"LastNr", "2"}, {"Starts", "4"}});
  ASSERT_TRUE(folder().WriteSettings(settings));

  const RunResult run = RunToEnd(WindowAnswer::Close, {.arguments = GetParam().arguments});

  EXPECT_EQ(exitCode(), 0u);
  EXPECT_EQ(run.messages, std::vector<MessageSeen>{GetParam().message});
  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(folder().SettingsBytes(), settings) << "LastNr and Starts must stay as they were";
  EXPECT_EQ(folder().Files(), (Names{"Tavu.exe", "tavu.ini"})) << "no copy may be made";
  EXPECT_FALSE(FolderExists(folder().AppFile("ICQ.exe3")));
  EXPECT_TRUE(FolderExists(folder().AppFile(kMessengerExe)));
  EXPECT_TRUE(ReadStandinLog(folder().AppFile(kMessengerExe)).empty()) << "something was started";
}

INSTANTIATE_TEST_SUITE_P(
    Fault, MessengerFolderTest,
    ::testing::Values(
        FolderCase{"English", "-english", {"Error", "Couldn't find the file ICQ.exe! Transaction canceled."}},
        FolderCase{"German",
                   "-german",
                   {"Fehler", "Die Datei ICQ.exe konnte nicht gefunden werden! Vorgang abgebrochen."}}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brindle::e2e
