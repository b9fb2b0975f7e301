#include "engine/AngleText.h"

#include <gtest/gtest.h>

#include <random>

#include "tables/NumberText.h"

namespace tarnwell {
namespace {

AngleFormat FormatNamed(std::string_view keyword) {
  AngleFormat format = AngleFormat::DDD;
  EXPECT_TRUE(ReadKeyword<AngleFormat>(kAngleFormats, keyword, format)) << keyword;
  return format;
}

struct ReadCase {
  const char* format;
  const char* text;
  const char* degrees;  // as FormatNumber writes them; nullptr: the reading fails
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.format << " \"" << c.text << '"'; }

class AngleReading : public testing::TestWithParam<ReadCase> {};

TEST_P(AngleReading, GivesDecimalDegreesOrFails) {
  const ReadCase& c = GetParam();
  double degrees = -999;
  const bool read = ReadAngle(c.text, FormatNamed(c.format), degrees);
  if (c.degrees) {
    EXPECT_TRUE(read);
    EXPECT_EQ(FormatNumber(degrees), c.degrees);
  } else {
    EXPECT_FALSE(read);
    EXPECT_EQ(degrees, -999);
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
        ReadCase{"DMS", " 30:30:0\t", "30.500000000000000"},
        ReadCase{"DMS", "120.25", nullptr},
        ReadCase{"DMS", "", nullptr},
        ReadCase{"DMM", "120:15.5", "120.258333333333340"},
        ReadCase{"DMM", "120:15.5:0", nullptr},
        ReadCase{"DMM", "120.25", nullptr},
        ReadCase{"DMM", "", nullptr},
        ReadCase{"DDD", "31.5", "31.500000000000000"}));

// What a surveyor copies from a report.
INSTANTIATE_TEST_SUITE_P(
    Marks, AngleReading,
    testing::Values(ReadCase{"DMS", "30°30′15.5″", "30.504305555555554"},
                    ReadCase{"DMS", "30°30'15.5\"", "30.504305555555554"},
                    ReadCase{"DMS", "30°30′15.5", "30.504305555555554"},
                    ReadCase{"DMS", "-30°30′15.5″", "-30.504305555555554"},
                    ReadCase{"DMM", "30°15.5′", "30.258333333333333"},
                    ReadCase{"DMS", "30°30′", nullptr},
                    ReadCase{"DMS", "30°30′15.5″x", nullptr},
                    ReadCase{"DMS", "30\xa1\xe3" "00\xa1\xe4" "0\xa1\xe5", nullptr}));  // the marks in GBK

// Typing mistakes are refused, never read as a nearby number.
INSTANTIATE_TEST_SUITE_P(
    Mistakes, AngleReading,
    testing::Values(ReadCase{"DMS", "30:ab:cd", nullptr},
                    ReadCase{"DMS", "nan:0:0", nullptr},
                    ReadCase{"DMS", "30:0:nan", nullptr},
                    ReadCase{"DMS", "120:15.9:30", nullptr},
                    ReadCase{"DMS", "30:30:", nullptr},
                    ReadCase{"DMM", "1e15", nullptr},
                    ReadCase{"DMM", "1:e15", nullptr},
                    ReadCase{"DDD", "3l.5", nullptr},
                    ReadCase{"DDD", "", nullptr},
                    ReadCase{"DDD", "12abc", nullptr},
                    ReadCase{"DDD", "inf", nullptr}));

// Minutes and seconds below 60, pieces parted by ":", " " or "/" alone.
INSTANTIATE_TEST_SUITE_P(
    Limits, AngleReading,
    testing::Values(ReadCase{"DMS", "30:59:59.999", "30.999999722222224"},
                    ReadCase{"DMM", "30:59.999", "30.999983333333333"},
                    ReadCase{"DMS", "30:75:00", nullptr},
                    ReadCase{"DMS", "30:99:99", nullptr},
                    ReadCase{"DMS", "30:60:00", nullptr},
                    ReadCase{"DMS", "30:00:60", nullptr},
                    ReadCase{"DMS", "30°75′00″", nullptr},
                    ReadCase{"DMM", "30:60", nullptr},
                    ReadCase{"DMM", "31,5", nullptr},
                    ReadCase{"DMS", "31,5,0", nullptr},
                    ReadCase{"DMS", "31-5-0", nullptr},
                    ReadCase{"DMS", "31;5;0", nullptr},
                    ReadCase{"DMM", "31_5", nullptr}));

// B beyond a pole is no point; L may be any angle.
TEST(ReadGeodeticPoint, RefusesALatitudeBeyondAPole) {
  const struct {
    const char *format, *latitude, *longitude;
    bool read;
  } cases[] = {{"DDD", "90", "195.5", true},          {"DDD", "-90", "195.5", true},
               {"DMS", "90:00:00", "195:30:0", true}, {"DMM", "-90:0", "195:30", true},
               {"DDD", "95", "195.5", false},         {"DDD", "90.0000001", "195.5", false},
               {"DDD", "-90.0000001", "1", false},    {"DMS", "90:00:00.1", "195:30:0", false},
               {"DMM", "-90:0.001", "195:30", false}};
  for (const auto& c : cases) {
    GeodeticPoint point{1, 2, 3};
    EXPECT_EQ(ReadGeodeticPoint(c.latitude, c.longitude, "10", FormatNamed(c.format), point), c.read)
        << c.format << ' ' << c.latitude;
    EXPECT_EQ(point.longitude, c.read ? 195.5 : 2) << c.latitude;
  }
}

// One sign in front is the sign of the whole angle; no other sign passes.
INSTANTIATE_TEST_SUITE_P(
    Signs, AngleReading,
    testing::Values(ReadCase{"DMS", "-30:15:20", "-30.255555555555556"},
                    ReadCase{"DMS", "+30:15:20", "30.255555555555556"},
                    ReadCase{"DMS", "-0:30:0", "-0.500000000000000"},
                    ReadCase{"DMM", "-005:30.000000000000000", "-5.500000000000000"},
                    ReadCase{"DDD", "-31.5", "-31.500000000000000"},
                    ReadCase{"DMS", "-", nullptr},
                    ReadCase{"DMS", "--30:15:20", nullptr},
                    ReadCase{"DMS", "--5-3", nullptr},
                    ReadCase{"DMS", "5:-3:0", nullptr},
                    ReadCase{"DMS", "5:3:-1", nullptr},
                    ReadCase{"DMM", "--5", nullptr},
                    ReadCase{"DMM", "5:-3", nullptr},
                    ReadCase{"DDD", "--31.5", nullptr},
                    ReadCase{"DDD", "+-31.5", nullptr}));

struct WriteCase {
  const char* format;
  double degrees;
  const char* text;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.format << ' ' << c.degrees; }

class AngleWriting : public testing::TestWithParam<WriteCase> {};

TEST_P(AngleWriting, WritesTheFormat) {
  const WriteCase& c = GetParam();
  std::string text;
  AppendAngle(c.degrees, FormatNamed(c.format), text);
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

// The last piece rounded to fewer decimals, carrying into the minute and the
// degree when it rounds up to 60; at 15 decimals the truncated text of old.
struct RoundedCase {
  const char* format;
  double degrees;
  int decimals;
  const char* text;
};

class AngleRounding : public testing::TestWithParam<RoundedCase> {};

TEST_P(AngleRounding, RoundsTheLastPieceWithItsCarry) {
  const RoundedCase& c = GetParam();
  std::string text;
  AppendAngle(c.degrees, FormatNamed(c.format), text, c.decimals);
  EXPECT_EQ(text, c.text);
}

constexpr double Dms(double degrees, double minutes, double seconds) {
  return degrees + minutes / 60 + seconds / 3600;
}

INSTANTIATE_TEST_SUITE_P(
    Decimals, AngleRounding,
    testing::Values(RoundedCase{"DMS", 31.499999999999993, 15, "031:29:59.999999999974420"},
                    RoundedCase{"DMS", 31.499999999999993, 4, "031:30:0.0000"},
                    RoundedCase{"DMS", Dms(10, 20, 30.12344), 4, "010:20:30.1234"},
                    RoundedCase{"DMS", Dms(10, 20, 59.99996), 4, "010:21:0.0000"},
                    RoundedCase{"DMS", Dms(10, 59, 59.99996), 4, "011:00:0.0000"},
                    RoundedCase{"DMS", -Dms(10, 59, 59.99996), 4, "-011:00:0.0000"},
                    RoundedCase{"DMS", -Dms(0, 20, 59.99996), 4, "-000:21:0.0000"},
                    RoundedCase{"DMS", Dms(10, 20, 30.6), 0, "010:20:31"},
                    RoundedCase{"DMS", Dms(10, 59, 59.6), 0, "011:00:0"},
                    RoundedCase{"DMS", Dms(10, 20, 59.4), 0, "010:20:59"},
                    RoundedCase{"DMM", Dms(10, 59.99996, 0), 4, "011:0.0000"},
                    RoundedCase{"DMM", Dms(10, 20.123456, 0), 3, "010:20.123"},
                    RoundedCase{"DMM", -Dms(10, 59.6, 0), 0, "-011:0"},
                    RoundedCase{"DMM", 10.5, 0, "010:30"},
                    RoundedCase{"DDD", 120.12345678, 3, "120.123"},
                    RoundedCase{"DDD", -0.9996, 0, "-1"}));

TEST(AngleText, RoundTripsEveryFormatAndSign) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> angle(-180, 180);
  for (const char* format : {"DMS", "DMM", "DDD"}) {
    for (int i = 0; i < 2000; ++i) {
      const double degrees = angle(random);
      std::string text;
      AppendAngle(degrees, FormatNamed(format), text);
      double read;
      ASSERT_TRUE(ReadAngle(text, FormatNamed(format), read)) << text;
      EXPECT_NEAR(read, degrees, 1e-12) << format << ' ' << degrees;
    }
  }
}

TEST(AngleText, LeavesAValueBeyondAnyAngleAsNumberText) {
  std::string text;
  AppendAngle(1e300, AngleFormat::DMS, text);
  EXPECT_EQ(text, FormatNumber(1e300));
}

}  // namespace
}  // namespace tarnwell
