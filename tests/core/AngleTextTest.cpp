#include "engine/AngleText.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/NumberText.h"

namespace tarnwell {
namespace {

struct ReadCase {
  const char* format;
  const char* text;
  const char* degrees;  // nullptr: the reading fails and the text stays
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.format << " \"" << c.text << '"'; }

class AngleReading : public testing::TestWithParam<ReadCase> {};

TEST_P(AngleReading, GivesDecimalDegreesOrFails) {
  const ReadCase& c = GetParam();
  std::string text = c.text;
  const bool read = AngleTextToDegrees(c.format, text);
  if (c.degrees) {
    EXPECT_TRUE(read);
    EXPECT_EQ(text, c.degrees);
  } else {
    EXPECT_FALSE(read);
    EXPECT_EQ(text, c.text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, AngleReading,
    testing::Values(
        ReadCase{"DMS", "30:30:0", "30.500000000000000"},
        ReadCase{"DMS", "30:30", nullptr},
        ReadCase{"DMS", "30:30:0:0", nullptr},
        ReadCase{"DMS", "120 15 0", "120.250000000000000"},
        ReadCase{"DMS", "120/15/0", "120.250000000000000"},
        ReadCase{"DMS", "120:15.9:30", "120.258333333333340"},
        ReadCase{"DMS", "30:ab:cd", "30.000000000000000"},
        ReadCase{"DMS", "120.25", nullptr},
        ReadCase{"DMS", "", nullptr},
        ReadCase{"DMS", "30:30:", "30.500000000000000"},
        ReadCase{"DMS", "\t30:30:0", nullptr},
        ReadCase{"DMM", "120:15.5", "120.258333333333340"},
        ReadCase{"DMM", "120:15.5:0", nullptr},
        ReadCase{"DMM", "120.25", nullptr},
        ReadCase{"DMM", "", nullptr},
        ReadCase{"DDD", "anything at all", "anything at all"},
        ReadCase{"ddd", "120:15:0", "120:15:0"}));

// A sign in front is the sign of the whole angle.
INSTANTIATE_TEST_SUITE_P(
    Signs, AngleReading,
    testing::Values(ReadCase{"DMS", "-30:15:20", "-30.255555555555556"},
                    ReadCase{"DMS", "+30:15:20", "30.255555555555556"},
                    ReadCase{"DMS", "-0:30:0", "-0.500000000000000"},
                    ReadCase{"DMM", "-005:30.000000000000000", "-5.500000000000000"},
                    ReadCase{"DMS", "-", nullptr},
                    ReadCase{"DMS", "--30:15:20", nullptr}));

struct WriteCase {
  const char* format;
  double degrees;
  const char* text;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.format << ' ' << c.degrees; }

class AngleWriting : public testing::TestWithParam<WriteCase> {};

TEST_P(AngleWriting, WritesTheFormat) {
  const WriteCase& c = GetParam();
  std::string text = FormatNumber(c.degrees);
  DegreesToAngleText(c.format, text);
  EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AngleWriting,
    testing::Values(WriteCase{"DMS", 5.5, "005:30:0.000000000000000"},
                    WriteCase{"DMM", 5.5, "005:30.000000000000000"},
                    WriteCase{"DMS", 120.25, "120:15:0.000000000000000"},
                    WriteCase{"DMM", 120.123456, "120:7.407360000000267"},
                    WriteCase{"DMS", 89.99, "089:59:23.999999999981583"},
                    WriteCase{"DDD", 120.25, "120.250000000000000"},
                    WriteCase{"DMS", -5.5, "-005:30:0.000000000000000"},
                    WriteCase{"DMM", -5.5, "-005:30.000000000000000"},
                    WriteCase{"DMS", -0.5, "-000:30:0.000000000000000"},
                    WriteCase{"DMS", 0.0, "000:00:0.000000000000000"}));

TEST(AngleText, RoundTripsEveryFormatAndSign) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> angle(-180, 180);
  for (const char* format : {"DMS", "DMM", "DDD"}) {
    for (int i = 0; i < 2000; ++i) {
      const double degrees = angle(random);
      std::string text = FormatNumber(degrees);
      DegreesToAngleText(format, text);
      ASSERT_TRUE(AngleTextToDegrees(format, text)) << text;
      EXPECT_NEAR(ParseNumber(text), degrees, 1e-12) << format << ' ' << degrees;
    }
  }
}

TEST(AngleText, LeavesAValueBeyondAnyAngleAsNumberText) {
  std::string text = FormatNumber(1e300);
  const std::string before = text;
  DegreesToAngleText("DMS", text);
  EXPECT_EQ(text, before);
}

}  // namespace
}  // namespace tarnwell
