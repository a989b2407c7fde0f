#include <gtest/gtest.h>

#include "settings/Text.h"

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

}  // namespace
}  // namespace brindle
