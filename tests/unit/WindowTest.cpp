#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "window/CountEntry.h"

namespace brindle {
namespace {

using fake::Launcher;

TEST(Window, CountBoxTakesDigitsBackspaceAndPasteOnly) {
  Launcher launcher;
  for (const int code : std::initializer_list<int>{'0', '5', '9', 8, 22})
    EXPECT_EQ(launcher.form.OnCountBoxKey(code), code) << "code " << code;
  for (const int code :
       std::initializer_list<int>{'/', ':', 'a', '-', '.', ',', ' ', 3, 13, 24, 27, 7, 9, 0x660, 0xFF10, -1})
    EXPECT_EQ(launcher.form.OnCountBoxKey(code), kSwallowKey) << "code " << code;
}

TEST(Window, CountIsTheBoxTextRoundedDownAndKeptTo2To99) {
  struct Case {
    const char* text;
    std::optional<std::int16_t> parsed;
    std::int16_t count;
  };
  const std::nullopt_t none = std::nullopt;
  // clang-format off
  for (const Case& c : {Case{"2", 2, 2}, {"99", 99, 99}, {"07", 7, 7}, {"1", 1, 5}, {"00", 0, 5}, {"", none, 5},
       {"-1", -1, 5}, {"ab", none, 5}, {"5a", none, 5}, {"2.9", 2, 2}, {"1.9", 1, 5}, {"-.5", -1, 5},
       {"-2.5", -3, 5}, {" 9", 9, 9}, {"+9", 9, 9}, {".", none, 5}, {"32767", 32767, 5}, {"32768", none, 5},
       {"-32768", -32768, 5}, {"100", 100, 5}, {"1e1", none, 5}, {"1,5", none, 5}}) {
    // clang-format on
    EXPECT_EQ(ParseCount(c.text), c.parsed) << c.text;
    EXPECT_EQ(CountFromText(c.text), c.count) << c.text;
  }
}

TEST(Window, OkStoresTheCountAndTheChoiceThenLaunches) {
  struct Case {
    const char *box, *maxNr;
    int check;
  };
  for (const Case& c : {Case{"2", "2", 0}, {"99", "99", 1}, {"1", "5", 0}, {"", "5", 1}, {"5", "5", 2}}) {
    Launcher launcher;
    launcher.Start().platform.texts[ControlId::Text1] = c.box;
    launcher.platform.check = c.check;
    launcher.platform.whileMessageOpen = [&] {
      EXPECT_TRUE(launcher.platform.started.empty() && !launcher.platform.visible);
    };
    launcher.form.OnOkClick();
    launcher.form.OnOkClick();  // a second click queued behind the first does nothing
    EXPECT_EQ(launcher.platform.Get("MaxNr"), c.maxNr) << c.box;
    EXPECT_EQ(launcher.platform.Get("NoInfo"), c.check == 1 ? "1" : "0") << c.box;
    EXPECT_EQ(launcher.platform.messages.size(), c.check == 1 ? 1u : 0u) << c.box;
    EXPECT_EQ(launcher.platform.started, std::vector{launcher.platform.In("ICQ.exe1")});
    EXPECT_FALSE(launcher.platform.visible);
  }
}

}  // namespace
}  // namespace brindle
