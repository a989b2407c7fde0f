// When the start-up shows the information window instead of launching: NoInfo is reset to "0" before
// the window appears, and closing the window ends the launcher with nothing launched.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scenario.h"

namespace brindle::e2e {
namespace {

using Names = std::vector<std::string>;

struct WindowCase {
  const char* name;
  const char* settings;  // nullptr: no tavu.ini at all
  const char* arguments;
};

void PrintTo(const WindowCase& window, std::ostream* out) {
  *out << window.name;
}

class StartupWindowTest : public Scenario, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(StartupWindowTest, ShowsTheWindowAndClosingItLaunchesNothing) {
  const WindowCase& window = GetParam();
  Prepare();
  if (window.settings) {
    ASSERT_TRUE(folder().WriteSettings(window.settings));
  }

  std::optional<Process> launcher = folder().StartLauncher({.arguments = window.arguments});
  ASSERT_TRUE(launcher);
  const std::optional<Window> form = WaitForWindow(launcher->pid(), kForm1Caption, kWindowTimeout);
  ASSERT_TRUE(form) << "no visible window captioned \"" << kForm1Caption << "\"";
  EXPECT_EQ(folder().Setting("NoInfo"), "0") << "NoInfo is reset before the window is shown";
  EXPECT_FALSE(FindMessageBox(launcher->pid()));

  ASSERT_TRUE(form->Close());
  EXPECT_TRUE(launcher->WaitForExit(kWindowTimeout)) << "closing the window did not end the launcher";

  EXPECT_TRUE(folder().StandinLog().empty()) << "the messenger was started";
  EXPECT_EQ(folder().Files(), (Names{"ICQ.exe", "Tavu.exe", "standin.cfg", "tavu.ini"}));
  EXPECT_EQ(folder().Setting("NoInfo"), "0");
  EXPECT_EQ(folder().Setting("LastNr"), std::nullopt);
  EXPECT_EQ(folder().Setting("Starts"), std::nullopt);
  EXPECT_EQ(folder().Setting("MaxNr"), std::nullopt) << "closing stores no count";
}

INSTANTIATE_TEST_SUITE_P(
    Decision, StartupWindowTest,
    ::testing::Values(WindowCase{"FirstStart", nullptr, ""},
                      WindowCase{"NoInfoZero", "[Brindle]\r\nNoInfo=0\r\n", ""},
                      WindowCase{"NoInfoNotExactlyOne", "[Brindle]\r\nNoInfo=yes\r\n", ""},
                      WindowCase{"InfoSwitch", "[Brindle]\r\nNoInfo=1\r\n", "-info"},
                      WindowCase{"InfoSwitchInsideAWord", "[Brindle]\r\nNoInfo=1\r\n", "-information"},
                      WindowCase{"InfoSwitchEnglish", "[Brindle]\r\nNoInfo=1\r\n", "-english -info"}),
    [](const ::testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

class SettingsFileTest : public Scenario {};

// The launcher writes through the wide profile functions; the file they create must still be the
// plain ANSI text that the narrow ones and a user's editor expect.
TEST_F(SettingsFileTest, NewlyCreatedFileIsPlainAnsiText) {
  Prepare({}, "Prüfungsordner Äöü");

  const RunResult run = Run();

  EXPECT_TRUE(run.windowShown);
  const std::optional<std::string> bytes = folder().SettingsBytes();
  ASSERT_TRUE(bytes) << "no tavu.ini was created";
  EXPECT_NE(bytes->substr(0, 2), "\xFF\xFE") << "UTF-16 byte order mark";
  EXPECT_NE(bytes->substr(0, 3), "\xEF\xBB\xBF") << "UTF-8 byte order mark";
  EXPECT_EQ(bytes->find('\0'), std::string::npos) << "UTF-16 text";
  EXPECT_NE(bytes->find("[Brindle]"), std::string::npos) << *bytes;
  EXPECT_NE(bytes->find("NoInfo=0"), std::string::npos) << *bytes;
}

}  // namespace
}  // namespace brindle::e2e
