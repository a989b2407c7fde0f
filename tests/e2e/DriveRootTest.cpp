// The launcher in the root folder of a drive, whose path already ends in "\": the settings file and
// the copies must land in the root itself, not beside a doubled "\" nor relative to the drive's current
// folder.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scenario.h"

namespace brindle::e2e {
namespace {

using Names = std::vector<std::string>;

class DriveRootTest : public Scenario {};

TEST_F(DriveRootTest, SettingsAndCopyLandInTheRoot) {
  Prepare();
  ASSERT_TRUE(folder().WriteSettings(SettingsText({{"NoInfo", "1"}})));
  // Started from a folder below the root, so that "X:tavu.ini" (the drive without its "\") would name
  // a file in that folder instead of the root.
  ASSERT_TRUE(MakeFolders(folder().AppFile("started here")));
  std::optional<MappedDrive> drive = MappedDrive::Map(folder().app());
  ASSERT_TRUE(drive) << "could not map a drive letter to " << folder().app();
  const std::string root = drive->Root();
  const std::string workingFolder = root + "started here";

  std::optional<Process> launcher =
      Process::Start(root + std::string(kLauncherExe), {.workingFolder = workingFolder});
  ASSERT_TRUE(launcher) << "could not start " << root << kLauncherExe;
  const RunResult run = Watch(*launcher);

  EXPECT_TRUE(run.ended);
  EXPECT_EQ(launcher->ExitCode(), 0u);
  EXPECT_EQ(run.messages, std::vector<MessageSeen>{});
  EXPECT_FALSE(run.windowShown);
  ASSERT_TRUE(WaitForStandinStarts(folder().app(), 1, std::chrono::seconds(30))) << "nothing was launched";
  // The messenger logs through the drive, so the drive stays until it has ended.
  EXPECT_TRUE(WaitForStandinsToEnd(folder().app(), std::chrono::seconds(30)));
  const std::vector<StandinEvent> starts = EventsOfKind(folder().StandinLog(), "start");
  ASSERT_EQ(starts.size(), 1u);
  const std::string copy = root + "ICQ.exe1";
  EXPECT_TRUE(SamePath(starts.front().module, copy)) << starts.front().module;
  EXPECT_TRUE(SamePath(ProgramNameOfCommandLine(starts.front().commandLine), copy))
      << starts.front().commandLine;
  EXPECT_TRUE(SamePath(starts.front().workingFolder, workingFolder)) << starts.front().workingFolder;
  const std::optional<std::string> settings = ReadBytes(root + std::string(kSettingsFile));
  ASSERT_TRUE(settings) << "no " << root << kSettingsFile;
  EXPECT_EQ(IniValue(*settings, kSettingsSection, "LastNr"), "1");
  EXPECT_EQ(IniValue(*settings, kSettingsSection, "Starts"), "1");
  EXPECT_EQ(folder().Files(),
            (Names{"ICQ.exe", "ICQ.exe1", "Tavu.exe", "standin.cfg", "standin.log", "tavu.ini"}));
  EXPECT_EQ(FileNames(folder().AppFile("started here")), Names{})
      << "files written beside the working folder";

  EXPECT_TRUE(drive->Unmap()) << root << " is still mapped";
}

}  // namespace
}  // namespace brindle::e2e
