#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "window/Controls.h"
#include "window/SwitchToEnglish.h"
#include "window/Texts.h"

namespace brindle {
namespace {

TEST(SwitchToEnglishTest, ChangesTheEightTextsAndMovesBoxAndHint) {
  fake::FakePlatform platform;
  const auto before = platform.controls;
  SwitchToEnglish(platform);

  const std::map<ControlId, std::string> english{
      {ControlId::Label1, "Maximum number of allowed instances of ICQ 7:"},
      {ControlId::Label2, "Important information for the utilization of Brindle:"},
      {ControlId::Label3,
       "All changed settings at ICQ 7 will not be saved if multiple instances of ICQ are running."},
      {ControlId::Label4,
       "To load settings successfully (language, skin, etc.) and to avoid other problems start ICQ 7 again "
       "before "
       "logging in."},
      {ControlId::Label5,
       "If there is a firewall enabled (e.g. Windows Firewall) you possibly have to unblock every instance "
       "of ICQ 7."},
      {ControlId::Label6,
       "If ICQ 7 should be executed in compatibility mode you have to run the Brindle in compatibility mode "
       "too."},
      {ControlId::Label7,
       "Please enter the maximum number of instances of ICQ 7 (at the same time) in the box below."},
      {ControlId::Check1, "Do not show this message again"},
  };
  for (const auto& row : kControls) {
    const auto& now = platform.controls[row.id];
    const auto& was = before.at(row.id);
    const auto translated = english.find(row.id);
    EXPECT_EQ(now.text, translated != english.end() ? translated->second : was.text) << row.name;
    const bool shifted = row.id == ControlId::Text1 || row.id == ControlId::Label8;
    EXPECT_EQ(now.left, shifted ? was.left - 280 : was.left) << row.name;
  }
  EXPECT_EQ(platform.controls[ControlId::Text1].left, 3720);
  EXPECT_EQ(platform.controls[ControlId::Label8].left, 4400);
  EXPECT_EQ(platform.controls[ControlId::Text1].text, "5");
  EXPECT_EQ(platform.controls[ControlId::Label8].text, "(2 - 99)");
  EXPECT_EQ(platform.controls[ControlId::Command1].text, "OK");
}

TEST(SwitchToEnglishTest, ASecondCallMovesAgain) {
  fake::FakePlatform platform;
  SwitchToEnglish(platform);
  SwitchToEnglish(platform);
  EXPECT_EQ(platform.controls[ControlId::Text1].left, 3440);
  EXPECT_EQ(platform.controls[ControlId::Label8].left, 4120);
}

TEST(ControlTableTest, GermanDesignTexts) {
  EXPECT_EQ(GermanTextOf(ControlId::Label2), "Wichtige Hinweise für die Nutzung des Brindles:");
  EXPECT_EQ(GermanTextOf(ControlId::Label5),
            "Ist eine Firewall aktiv (z.B. Windows Firewall)  muss ICQ 7 eventuell für jede Instanz erneut "
            "freigegeben werden.");
  EXPECT_EQ(
      GermanTextOf(ControlId::Label6),
      "Soll ICQ 7 im Kompatibilitätsmodus ausgeführt werden, muss der Brindle auch im Kompatibilitätsmodus "
      "gestartet werden.");
  EXPECT_EQ(GermanTextOf(ControlId::Check1), "Diesen Hinweis nicht mehr anzeigen");
  EXPECT_FALSE(GermanTextOf(ControlId::Text1).has_value());
  EXPECT_FALSE(GermanTextOf(ControlId::Point0).has_value());
}

TEST(ControlTableTest, HintsStand480TwipsApartWithTheirDots) {
  const ControlId hints[] = {ControlId::Label3, ControlId::Label4, ControlId::Label5, ControlId::Label6,
                             ControlId::Label7};
  const ControlId dots[] = {ControlId::Point0, ControlId::Point1, ControlId::Point2, ControlId::Point3,
                            ControlId::Point4};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(SpecOf(hints[i]).top, 480 + 480 * i);
    EXPECT_EQ(SpecOf(dots[i]).top, SpecOf(hints[i]).top + 70);
    EXPECT_EQ(SpecOf(dots[i]).left, 240);
    EXPECT_EQ(SpecOf(dots[i]).width, 60);
    EXPECT_EQ(SpecOf(dots[i]).height, 60);
  }
}

TEST(ControlTableTest, OnlyTheThreeInputControlsTakeTheFocus) {
  int focusable = 0;
  for (const auto& row : kControls) focusable += row.tabOrder != kNoTabStop;
  EXPECT_EQ(focusable, 3);
  // The count box and its range hint keep a 65-twip gap, in both languages.
  EXPECT_EQ(SpecOf(ControlId::Label8).left - (SpecOf(ControlId::Text1).left + SpecOf(ControlId::Text1).width),
            65);
}

TEST(ControlTableTest, ControlNumbersAreDistinctAndNotTheDialogButtons) {
  std::set<int> numbers;
  for (const auto& row : kControls) {
    const int number = ControlNumber(row.id);
    EXPECT_GT(number, 2) << row.name;  // IDOK and IDCANCEL stay free for the dialog manager
    numbers.insert(number);
  }
  EXPECT_EQ(numbers.size(), kControls.size());
}

}  // namespace
}  // namespace brindle
