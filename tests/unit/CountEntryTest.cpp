#include <gtest/gtest.h>

#include <algorithm>

#include "Harness.h"
#include "window/CountEntry.h"

namespace brindle {
namespace {

using test::Launcher;

TEST(KeyFilterTest, DigitsBackspaceAndPastePassEverythingElseIsSwallowed) {
  for (int code = 0; code < 256; ++code) {
    const bool passes = (code >= '0' && code <= '9') || code == 8 || code == 22;
    EXPECT_EQ(FilterCountBoxKey(code), passes ? code : 0) << "code " << code;
  }
  for (int code : {0x2028, 0x0660 /* Arabic-Indic zero */, 0xFF10 /* full-width zero */, -1, 65535})
    EXPECT_EQ(FilterCountBoxKey(code), 0) << "code " << code;
  EXPECT_EQ(DigitsOnly(22), 0);  // paste is let through by the box's filter, not by DigitsOnly
}

TEST(KeyFilterTest, TheFormHandsKeysToTheFilter) {
  fake::FakePlatform platform;
  Form1 form(platform);
  EXPECT_EQ(form.OnCountBoxKey('7'), '7');
  EXPECT_EQ(form.OnCountBoxKey('a'), 0);
  EXPECT_EQ(form.OnCountBoxKey('-'), 0);
  EXPECT_EQ(form.OnCountBoxKey('.'), 0);
  EXPECT_EQ(form.OnCountBoxKey(13), 0);  // Enter
  EXPECT_EQ(form.OnCountBoxKey(3), 0);   // Ctrl+C
  EXPECT_EQ(form.OnCountBoxKey(24), 0);  // Ctrl+X
  EXPECT_EQ(form.OnCountBoxKey(22), 22);
  EXPECT_EQ(form.OnCountBoxKey(8), 8);
}

struct CountCase {
  const char* text;
  std::optional<std::int16_t> parsed;
  std::int16_t count;
};

class CountTest : public testing::TestWithParam<CountCase> {};

TEST_P(CountTest, BoxTextBecomesTheSlotCount) {
  EXPECT_EQ(ParseCount(GetParam().text), GetParam().parsed);
  EXPECT_EQ(CountFromText(GetParam().text), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CountTest,
    testing::Values(CountCase{"2", 2, 2}, CountCase{"99", 99, 99}, CountCase{"07", 7, 7},
                    CountCase{"1", 1, 5}, CountCase{"00", 0, 5}, CountCase{"", std::nullopt, 5},
                    CountCase{"-1", -1, 5}, CountCase{"ab", std::nullopt, 5},
                    CountCase{"5a", std::nullopt, 5}, CountCase{"2.", 2, 2}, CountCase{"2.9", 2, 2},
                    CountCase{"1.9", 1, 5}, CountCase{".5", 0, 5}, CountCase{"-.5", -1, 5},
                    CountCase{"-2.5", -3, 5}, CountCase{" 9", 9, 9}, CountCase{"+9", 9, 9},
                    CountCase{".", std::nullopt, 5}, CountCase{"-", std::nullopt, 5},
                    CountCase{"32767", 32767, 5}, CountCase{"32768", std::nullopt, 5},
                    CountCase{"-32768", -32768, 5}, CountCase{"-32769", std::nullopt, 5},
                    CountCase{"100", 100, 5}, CountCase{"99999999999999999999", std::nullopt, 5},
                    CountCase{"1e1", std::nullopt, 5}, CountCase{"1,5", std::nullopt, 5}));

struct ConfirmCase {
  const char* boxText;
  int check;
  const char* maxNr;
  bool hint;
};

class ConfirmTest : public testing::TestWithParam<ConfirmCase> {};

TEST_P(ConfirmTest, StoresTheCountAndTheChoiceThenLaunches) {
  const auto& c = GetParam();
  Launcher launcher;
  launcher.Start();
  launcher.platform.controls[ControlId::Text1].text = c.boxText;
  launcher.platform.controls[ControlId::Check1].check = c.check;
  launcher.form.OnOkClick();

  EXPECT_FALSE(launcher.platform.windowVisible);
  EXPECT_EQ(launcher.SettingOr("MaxNr"), c.maxNr);
  EXPECT_EQ(launcher.SettingOr("NoInfo"), c.hint ? "1" : "0");
  EXPECT_EQ(launcher.platform.messages.size(), c.hint ? 1u : 0u);
  EXPECT_EQ(launcher.platform.startedPrograms, std::vector<std::string>{"C:\\Messenger\\ICQ.exe1"});
}

INSTANTIATE_TEST_SUITE_P(Choices, ConfirmTest,
                         testing::Values(ConfirmCase{"2", 0, "2", false}, ConfirmCase{"99", 1, "99", true},
                                         ConfirmCase{"07", 0, "7", false}, ConfirmCase{"1", 0, "5", false},
                                         ConfirmCase{"", 1, "5", true}, ConfirmCase{"5", 2, "5", false}));

TEST(ConfirmTest, HintComesAfterMaxNrAndBeforeNoInfoAndTheLaunch) {
  Launcher launcher;
  launcher.platform.commandLine = "-english";
  launcher.Start();
  launcher.platform.controls[ControlId::Check1].check = 1;
  std::optional<std::string> maxNrWhileOpen, noInfoWhileOpen;
  std::size_t startsWhileOpen = 99;
  bool visibleWhileOpen = true;
  launcher.platform.whileMessageOpen = [&](const fake::RecordedMessage&) {
    maxNrWhileOpen = launcher.platform.Setting("MaxNr");
    noInfoWhileOpen = launcher.platform.Setting("NoInfo");
    startsWhileOpen = launcher.platform.startedPrograms.size();
    visibleWhileOpen = launcher.platform.windowVisible;
  };
  launcher.form.OnOkClick();

  ASSERT_EQ(launcher.platform.messages.size(), 1u);
  EXPECT_EQ(launcher.platform.messages[0].text,
            "To see this window again start Brindle with the parameter '-info'.");
  EXPECT_EQ(launcher.platform.messages[0].title, "Information");
  EXPECT_EQ(launcher.platform.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(maxNrWhileOpen, "5");
  EXPECT_EQ(noInfoWhileOpen, "0");
  EXPECT_EQ(startsWhileOpen, 0u);
  EXPECT_FALSE(visibleWhileOpen);
  EXPECT_EQ(launcher.SettingOr("NoInfo"), "1");
  EXPECT_EQ(launcher.platform.startedPrograms.size(), 1u);
}

TEST(ConfirmTest, GermanHintKeepsTheEnglishTitle) {
  Launcher launcher;
  launcher.platform.commandLine = "-german";
  launcher.Start();
  launcher.platform.controls[ControlId::Check1].check = 1;
  launcher.form.OnOkClick();
  ASSERT_EQ(launcher.platform.messages.size(), 1u);
  EXPECT_EQ(
      launcher.platform.messages[0].text,
      "Um dieses Fenster wieder anzeigen zu lassen, rufen Sie den Brindle mit dem Parameter '-info' auf.");
  EXPECT_EQ(launcher.platform.messages[0].title, "Information");
}

TEST(ConfirmTest, ASecondClickQueuedBehindTheFirstDoesNothing) {
  Launcher launcher;
  launcher.Start();
  launcher.form.OnOkClick();
  const auto callsAfterFirst = launcher.platform.calls.size();
  launcher.form.OnOkClick();
  EXPECT_EQ(launcher.platform.calls.size(), callsAfterFirst);
  EXPECT_EQ(launcher.platform.startedPrograms.size(), 1u);
}

TEST(ConfirmTest, NextStartWithoutInfoShowsNoWindow) {
  Launcher launcher;
  launcher.Start();
  launcher.platform.controls[ControlId::Check1].check = 1;
  launcher.form.OnOkClick();
  launcher.platform.RunTimerUntilEnded(launcher.form);

  launcher.platform.ended = false;
  launcher.platform.windowVisible = true;
  launcher.platform.messages.clear();
  launcher.platform.startedPrograms.clear();
  Form1 next(launcher.platform);
  next.OnLoad();
  EXPECT_FALSE(launcher.platform.windowVisible);
  EXPECT_TRUE(launcher.platform.messages.empty());
  EXPECT_EQ(launcher.platform.startedPrograms, std::vector<std::string>{"C:\\Messenger\\ICQ.exe2"});
}

}  // namespace
}  // namespace brindle
