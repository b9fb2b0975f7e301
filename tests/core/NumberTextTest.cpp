#include "engine/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace tarnwell {
namespace {

std::string PrintfFixed15(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.15f", value);
  return buffer;
}

TEST(FormatNumber, WritesFixedFifteenDecimals) {
  EXPECT_EQ(FormatNumber(500000), "500000.000000000000000");
  EXPECT_EQ(FormatNumber(0), "0.000000000000000");
  EXPECT_EQ(FormatNumber(-3.5), "-3.500000000000000");
  EXPECT_EQ(FormatNumber(1e22), "10000000000000000000000.000000000000000");
  EXPECT_EQ(FormatNumber(1.0 / 3), "0.333333333333333");
}

TEST(FormatNumber, MatchesPrintfByteForByte) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> coordinate(-7e6, 7e6);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 0; i < 20000; ++i) {
    const double value = coordinate(random) * std::pow(10.0, exponent(random));
    ASSERT_EQ(FormatNumber(value), PrintfFixed15(value)) << value;
  }
  for (double value : {0.5e-15, 1.5e-15, 2.5e-15, -0.0, 0.1, 0.125, 123456789.123456789})
    EXPECT_EQ(FormatNumber(value), PrintfFixed15(value));
}

TEST(ParseNumber, FollowsStrtodRules) {
  const char* const texts[] = {
      "12.5",  "  12.5abc", "\t7",   "+3",    "-.5",  "1e-3",     "1,5",   "abc", "",       "-",
      "--5",   "+-5",       "1e",    "1e+",   ".",    "5.",       "0x1p3", "0x",  "0xg",    "-0x.8",
      "1e400", "-1e400",    "1e-400", "12abc", " -30:15:20", "6378137", "298.257223563", "inf"};
  for (const char* text : texts) {
    const double expected = std::strtod(text, nullptr);
    const double parsed = ParseNumber(text);
    EXPECT_EQ(std::memcmp(&parsed, &expected, sizeof parsed), 0)
        << '"' << text << "\" gave " << parsed << ", strtod " << expected;
  }
  EXPECT_TRUE(std::isnan(ParseNumber("nan")));
}

TEST(ParseNumber, ReadsWhatFormatNumberWrote) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> coordinate(-7e6, 7e6);
  for (int i = 0; i < 1000; ++i) {
    const std::string text = FormatNumber(coordinate(random));
    EXPECT_EQ(ParseNumber(text), std::strtod(text.c_str(), nullptr));
  }
}

TEST(ParseNumber, IgnoresTheLocaleDecimalComma) {
  // A desktop session may run in a locale whose decimal separator is a comma.
  const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(ParseNumber("1.5"), 1.5);
  EXPECT_EQ(FormatNumber(1.5), "1.500000000000000");
  if (german) std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace tarnwell
