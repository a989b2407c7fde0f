#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "settings/Settings.h"

namespace brindle {
namespace {

TEST(Settings, NumbersAre32BitDecimalOrZero) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  // clang-format off
  for (const Case& c : {Case{"", 0}, {"42", 42}, {"007", 7}, {" 12 ", 12}, {"\t3", 3}, {"+5", 5}, {"-3", -3},
       {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"2147483648", 0}, {"-2147483649", 0},
       {"99999999999999999999", 0}, {"abc", 0}, {"12abc", 0}, {"1.5", 0}, {"1 2", 0}, {"-", 0}, {"+-1", 0},
       {"--1", 0}, {"0x10", 0}, {"1e3", 0}}) {
    // clang-format on
    EXPECT_EQ(ToInt32(c.text), c.value) << c.text;
    EXPECT_EQ(ToInt32(ToDecimal(c.value)), c.value);
  }
}

TEST(Settings, ReadsThroughABufferOf9999Characters) {
  fake::FakePlatform platform;
  const ProfileKey key{.path = "C:\\x\\tavu.ini", .section = "Brindle", .key = "LastNr"};
  EXPECT_EQ(ReadIniValue(platform, key), "");
  WriteIniValue(platform, key, std::string(12000, '7'));
  EXPECT_EQ(ReadIniValue(platform, key), std::string(9998, '7'));
  EXPECT_EQ(ReadIniValue(platform, {.path = key.path, .section = "Other", .key = key.key}), "");
}

}  // namespace
}  // namespace brindle
