#include "tables/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

struct NumberCase {
  const char* text;
  bool accepted;
  double value;  // when accepted
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class NumberReading : public testing::TestWithParam<NumberCase> {};

// A text is a number only when it is wholly a number; a refused text leaves
// the value as it was.
TEST_P(NumberReading, AcceptsOnlyWholeDecimalNumbers) {
  const NumberCase& c = GetParam();
  double value = -12345;
  EXPECT_EQ(ReadNumber(c.text, value), c.accepted);
  EXPECT_EQ(value, c.accepted ? c.value : -12345);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, NumberReading,
    testing::Values(NumberCase{"12.5", true, 12.5}, NumberCase{"  12.5 ", true, 12.5}, NumberCase{"\t7", true, 7},
                    NumberCase{"+3", true, 3}, NumberCase{"-.5", true, -0.5}, NumberCase{"5.", true, 5},
                    NumberCase{"1e-3", true, 0.001}, NumberCase{"1E+3", true, 1000},
                    NumberCase{"6378137", true, 6378137}, NumberCase{"298.257223563", true, 298.257223563},
                    NumberCase{"-0", true, 0}, NumberCase{"1e308", true, 1e308}, NumberCase{"1.e2", true, 100},
                    NumberCase{"+.5e-1", true, 0.05}));

INSTANTIATE_TEST_SUITE_P(
    Refused, NumberReading,
    testing::Values(NumberCase{"", false, 0}, NumberCase{"   ", false, 0}, NumberCase{"3l.5", false, 0},
                    NumberCase{"12abc", false, 0}, NumberCase{"abc", false, 0}, NumberCase{"nan", false, 0},
                    NumberCase{"inf", false, 0}, NumberCase{"-inf", false, 0}, NumberCase{"0x1p3", false, 0},
                    NumberCase{"--5", false, 0}, NumberCase{"+-5", false, 0}, NumberCase{"-", false, 0},
                    NumberCase{".", false, 0}, NumberCase{"1e", false, 0}, NumberCase{"1e+", false, 0},
                    NumberCase{"1,5", false, 0}, NumberCase{"1.2.3", false, 0}, NumberCase{"1e400", false, 0},
                    NumberCase{"-1e400", false, 0}, NumberCase{"\xef\xbc\x91\xef\xbc\x92", false, 0},  // full-width 12
                    NumberCase{"1 2", false, 0}, NumberCase{"NULL", false, 0}, NumberCase{"30:15:20", false, 0},
                    NumberCase{"infinity", false, 0}, NumberCase{"nan(1)", false, 0}, NumberCase{"e5", false, 0},
                    NumberCase{".e5", false, 0}, NumberCase{"-+5", false, 0}, NumberCase{"5-", false, 0}));

TEST(ReadNumber, ReadsWhatFormatNumberWrote) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> coordinate(-7e6, 7e6);
  for (int i = 0; i < 1000; ++i) {
    const std::string text = FormatNumber(coordinate(random));
    double value;
    ASSERT_TRUE(ReadNumber(text, value));
    EXPECT_EQ(value, std::strtod(text.c_str(), nullptr));
  }
}

TEST(ReadNumber, IgnoresTheLocaleDecimalComma) {
  // A desktop session may run in a locale whose decimal separator is a comma.
  const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  double value = 0;
  EXPECT_TRUE(ReadNumber("1.5", value));
  EXPECT_EQ(value, 1.5);
  EXPECT_EQ(FormatNumber(1.5), "1.500000000000000");
  if (german) std::setlocale(LC_NUMERIC, "C");
}

TEST(ReadWholeNumber, TakesDigitsAlone) {
  double value = -1;
  EXPECT_TRUE(ReadWholeNumber(" 120 ", value));
  EXPECT_EQ(value, 120);
  for (const char* text : {"", "15.9", "-5", "+5", "1e3", "5a"}) EXPECT_FALSE(ReadWholeNumber(text, value)) << text;
}

}  // namespace
}  // namespace tarnwell
