#include <gtest/gtest.h>

#include <string>

#include "fake/FakePlatform.h"
#include "settings/Settings.h"

namespace brindle {
namespace {

struct Conversion {
  const char* text;
  std::int32_t value;
};

class ToInt32Test : public testing::TestWithParam<Conversion> {};

TEST_P(ToInt32Test, ConvertsOrGivesZero) {
  EXPECT_EQ(ToInt32(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, ToInt32Test,
                         testing::Values(Conversion{"", 0}, Conversion{"0", 0}, Conversion{"1", 1},
                                         Conversion{"42", 42}, Conversion{"007", 7}, Conversion{" 12 ", 12},
                                         Conversion{"\t3", 3}, Conversion{"+5", 5}, Conversion{"-3", -3},
                                         Conversion{"2147483647", 2147483647},
                                         Conversion{"-2147483648", -2147483647 - 1},
                                         Conversion{"2147483648", 0}, Conversion{"-2147483649", 0},
                                         Conversion{"99999999999999999999999", 0}, Conversion{"abc", 0},
                                         Conversion{"12abc", 0}, Conversion{"1.5", 0}, Conversion{"1 2", 0},
                                         Conversion{"-", 0}, Conversion{"+", 0}, Conversion{"+-1", 0},
                                         Conversion{"--1", 0}, Conversion{"0x10", 0}, Conversion{"1e3", 0}));

TEST(ToDecimalTest, WritesPlainDigits) {
  EXPECT_EQ(ToDecimal(0), "0");
  EXPECT_EQ(ToDecimal(7), "7");
  EXPECT_EQ(ToDecimal(2147483647), "2147483647");
}

TEST(ToInt32Test, RoundTripsEveryValueTheLauncherWrites) {
  for (std::int32_t value : {0, 1, 2, 5, 99, 100, 65535, 2147483647})
    EXPECT_EQ(ToInt32(ToDecimal(value)), value);
}

TEST(IniValueTest, MissingKeyReadsEmpty) {
  fake::FakePlatform platform;
  EXPECT_EQ(ReadIniValue(platform, {.path = "C:\\x\\tavu.ini", .section = "Brindle", .key = "MaxNr"}), "");
}

TEST(IniValueTest, WriteThenReadInTheSameSection) {
  fake::FakePlatform platform;
  const ProfileKey key{.path = "C:\\x\\tavu.ini", .section = "Brindle", .key = "LastNr"};
  WriteIniValue(platform, key, "3");
  EXPECT_EQ(ReadIniValue(platform, key), "3");
  EXPECT_EQ(ReadIniValue(platform, {.path = "C:\\x\\tavu.ini", .section = "Other", .key = "LastNr"}), "");
}

TEST(IniValueTest, OverlongValueComesBackCutToTheBufferLessOne) {
  fake::FakePlatform platform;
  const ProfileKey key{.path = "C:\\x\\tavu.ini", .section = "Brindle", .key = "LastNr"};
  WriteIniValue(platform, key, std::string(12000, '7'));
  EXPECT_EQ(ReadIniValue(platform, key).size(), static_cast<std::size_t>(settings::kReadBufferSize - 1));
}

}  // namespace
}  // namespace brindle
