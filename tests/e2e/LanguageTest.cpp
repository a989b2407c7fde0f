// The language of every text: the system locale, overridden by "-german"/"-english", overridden in
// turn by Language in tavu.ini. Seen through the wrong-name message, which the launcher shows right
// after choosing its language and before it does anything else.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scenario.h"

namespace brindle::e2e {
namespace {

// Under Wine a program's system locale follows the Unix locale it starts with.
constexpr const char* kGermanSystem = "de_DE.UTF-8";
constexpr const char* kEnglishSystem = "C.UTF-8";

const MessageSeen kEnglish{"Error", "Wrong EXE name of Brindle."};
const MessageSeen kGerman{"Fehler", "Falscher EXE-Name des Brindles"};

struct LanguageCase {
  const char* name;
  const char* lang;
  const char* arguments;
  const char* language;  // Language in tavu.ini; nullptr: key absent
  bool english;
};

void PrintTo(const LanguageCase& language, std::ostream* out) {
  *out << language.name;
}

class LanguageTest : public Scenario, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(LanguageTest, ChoosesTheLanguageOfItsMessages) {
  const LanguageCase& language = GetParam();
  PrepareEmpty();
  ASSERT_TRUE(folder().PlaceLauncher("Other.exe"));
  std::string settings = SettingsText({{"NoInfo", "1"}});
  if (language.language) settings += std::string("Language=") + language.language + "\r\n";
  ASSERT_TRUE(folder().WriteSettings(settings));

  const RunResult run = Run({.arguments = language.arguments, .wineLocale = language.lang}, "Other.exe");

  EXPECT_EQ(run.messages, std::vector<MessageSeen>{language.english ? kEnglish : kGerman});
}

INSTANTIATE_TEST_SUITE_P(
    Choice, LanguageTest,
    ::testing::Values(
        LanguageCase{"GermanSystem", kGermanSystem, "", nullptr, false},
        LanguageCase{"EnglishSystem", kEnglishSystem, "", nullptr, true},
        LanguageCase{"GermanSystemEnglishSwitch", kGermanSystem, "-english", nullptr, true},
        LanguageCase{"EnglishSystemGermanSwitch", kEnglishSystem, "-german", nullptr, false},
        LanguageCase{"BothSwitchesEnglishWins", kGermanSystem, "-german -english", nullptr, true},
        LanguageCase{"BothSwitchesOtherOrder", kGermanSystem, "-english -german", nullptr, true},
        LanguageCase{"SwitchInsideAWord", kEnglishSystem, "x-germanx", nullptr, false},
        LanguageCase{"SwitchLetterCaseCounts", kGermanSystem, "-English", nullptr, false},
        LanguageCase{"SettingEnglishOverGermanSwitch", kGermanSystem, "-german", "English", true},
        LanguageCase{"SettingGermanOverEnglishSwitch", kEnglishSystem, "-english", "German", false},
        LanguageCase{"SettingGermanOverEnglishSystem", kEnglishSystem, "", "German", false},
        LanguageCase{"SettingLetterCaseCounts", kGermanSystem, "", "english", false},
        LanguageCase{"SettingOtherTextIgnored", kEnglishSystem, "", "Deutsch", true}),
    [](const ::testing::TestParamInfo<LanguageCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brindle::e2e
