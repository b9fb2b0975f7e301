#include "batch/ParameterFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "BatchTestSupport.h"
#include "MessageRecorder.h"

namespace tarnwell {
namespace {

class ParameterFiles : public testing::Test {
 protected:
  // A set unlike the defaults in every field the file holds.
  static CoordSettings Chosen() {
    CoordSettings settings;
    settings.sourceEllipsoid = "Krassowsky";
    settings.targetEllipsoid = "CGCS2000";
    settings.projection.centralMeridian = 117;
    settings.projection.surfaceHeight = 52.5;
    settings.projection.zoneWidth = 3;
    settings.projection.zone = 39;
    settings.projection.zonePrefix = true;
    settings.projection.listIndex = 70;
    settings.useSevenParams = true;
    settings.datum = {{-15.415, 157.025, 94.74, 0.312, -0.08, 0.257, -4.6},
                      RotationConvention::PositionVector, "CGCS2000", "Krassowsky"};
    settings.ownSourceProjection = true;
    settings.sourceProjection.zoneWidth = 6;
    settings.sourceProjection.zone = 20;
    settings.useFourParams = true;
    settings.fourParams = {-3250000.125, 400000.5, 12.75, 3.25};
    settings.heightFit.model = HeightModel::Plane;
    settings.heightFit.centroid = {3300000.0, 39500000.0};
    settings.heightFit.coefficients = {-2.5, 1e-5, -3e-6, 0, 0, 0};
    settings.tolerance = {0.015, 0.05};
    settings.geoid = "/srv/models/site geoid.isg";
    settings.useAnomalyFit = true;
    settings.anomalyFit = {31.5, 120.25, {HeightModel::Quadratic, {0.5, -0.25}, {0.012, 1e-6, -2e-6, 3e-11, 0, 1e-12}}};
    return settings;
  }

  // The file's text with the line for `key` replaced by `line`, and the
  // (1-based) number of that line.
  static std::string WithLine(const std::string& key, const std::string& line, std::uint64_t& lineNumber) {
    std::string text = ParameterFileText(Chosen());
    const std::size_t start = text.find("\n" + key + "=") + 1;
    lineNumber = 1 + std::count(text.begin(), text.begin() + start, '\n');
    text.replace(start, text.find('\n', start) - start, line);
    return text;
  }

  test::ScratchFolder folder;
  const std::string path = folder.File("set.twp");
};

// The text without the lines whose keys begin with one of `keys`.
std::string WithoutKeys(std::string text, std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    for (std::size_t at; (at = text.find(std::string("\n") + key)) != std::string::npos;)
      text.erase(at + 1, text.find('\n', at + 1) - at);
  }
  return text;
}

// A file written before the residual tolerances were kept leaves the base's.
TEST_F(ParameterFiles, VersionTwoFilesStillRead) {
  std::string text =
      WithoutKeys(ParameterFileText(Chosen()), {"tolerance.", "geoid", "useAnomalyFit", "anomalyFit."});
  text.replace(text.find("version=3"), 9, "version=2");
  test::WriteBytes(path, text);
  CoordSettings base;
  base.tolerance = {0.5, 0.25};
  const std::optional<CoordSettings> read = ReadParameterFile(path, base);
  ASSERT_TRUE(read) << text;
  EXPECT_EQ(read->tolerance, base.tolerance);
  EXPECT_EQ(read->datum, Chosen().datum);
}

// A file written before the datum set had a direction, a convention and a
// source projection of its own: "NULL" for a parameter not taken, two keys
// that meant nothing. Its set goes from its source to its target ellipsoid.
TEST_F(ParameterFiles, VersionOneFilesStillRead) {
  std::string text = WithoutKeys(ParameterFileText(Chosen()), {"seven.convention", "seven.sourceEllipsoid",
                                                                "seven.targetEllipsoid", "sourceProjection.",
                                                                "tolerance.", "geoid", "useAnomalyFit", "anomalyFit."});
  text.replace(text.find("version=3"), 9, "version=1");
  text.replace(text.find("projection.latitude1="), 21, "projection.latitude1=NULL");
  text += "projection.auxEllipsoid=NULL\ndatumModel=Bursa-Wolf\n";
  test::WriteBytes(path, text);
  const std::optional<CoordSettings> read = ReadParameterFile(path, {});
  ASSERT_TRUE(read) << text;
  EXPECT_EQ(read->datum.params, Chosen().datum.params);
  EXPECT_EQ(read->datum.convention, RotationConvention::CoordinateFrame);
  EXPECT_EQ(read->datum.sourceEllipsoid, "Krassowsky");
  EXPECT_EQ(read->datum.targetEllipsoid, "CGCS2000");
  EXPECT_FALSE(read->ownSourceProjection);
  EXPECT_EQ(read->projection, Chosen().projection);
}

bool SameBits(double first, double second) {
  return std::bit_cast<std::uint64_t>(first) == std::bit_cast<std::uint64_t>(second);
}

TEST_F(ParameterFiles, ChosenSetReadsBackOverAnyBase) {
  ASSERT_TRUE(WriteParameterFile(path, Chosen()));
  CoordSettings base;
  base.sourceType = CoordinateType::LB;
  base.targetType = CoordinateType::Plan;
  base.sourceAngleFormat = AngleFormat::DDD;
  base.fileFormat = FileFormat::NameXYh;
  const std::optional<CoordSettings> read = ReadParameterFile(path, base);
  ASSERT_TRUE(read);
  CoordSettings expected = Chosen();
  // The work at hand is not part of the set.
  expected.sourceType = CoordinateType::LB;
  expected.targetType = CoordinateType::Plan;
  expected.sourceAngleFormat = AngleFormat::DDD;
  expected.fileFormat = FileFormat::NameXYh;
  EXPECT_EQ(*read, expected);
}

// The numbers of the file but the four parameters' scale, which has a range.
std::vector<double*> Numbers(CoordSettings& settings) {
  std::vector<double*> numbers = {&settings.datum.params.dX,   &settings.datum.params.dY,
                                  &settings.datum.params.dZ,   &settings.datum.params.rX,
                                  &settings.datum.params.rY,   &settings.datum.params.rZ,
                                  &settings.datum.params.scalePpm, &settings.fourParams.dNorth,
                                  &settings.fourParams.dEast, &settings.fourParams.rotationArcSeconds,
                                  &settings.heightFit.centroid.north, &settings.heightFit.centroid.east};
  for (double& coefficient : settings.heightFit.coefficients) numbers.push_back(&coefficient);
  return numbers;
}

TEST_F(ParameterFiles, RandomNumbersReadBackBitForBit) {
  std::mt19937_64 random(20261207);
  // Any finite double within every field's range (|x| < 1e5): random bit
  // patterns folded into it, with the awkward ones among them.
  auto anyNumber = [&random] {
    for (;;) {
      const double value = std::bit_cast<double>(random());
      if (std::isfinite(value)) return std::fmod(value, 1e5);
    }
  };
  const double awkward[] = {-0.0, 5e-324, 2.2250738585072014e-308, 99999.999999999985, 0.1, 1.0 / 3};
  for (int round = 0; round < 200; ++round) {
    CoordSettings settings;
    const std::vector<double*> numbers = Numbers(settings);
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
      *numbers[i] = round < 6 ? awkward[(round + i) % std::size(awkward)] : anyNumber();
    }
    // The scale of the four parameters must leave 1 + m positive.
    settings.fourParams.scalePpm = std::uniform_real_distribution<double>(-999999.0, 999999.0)(random);
    settings.heightFit.model = static_cast<HeightModel>(round % 3);

    ASSERT_TRUE(WriteParameterFile(path, settings));
    const std::optional<CoordSettings> read = ReadParameterFile(path, {});
    ASSERT_TRUE(read) << test::ReadBytes(path);
    CoordSettings back = *read;
    const std::vector<double*> backNumbers = Numbers(back);
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
      ASSERT_TRUE(SameBits(*numbers[i], *backNumbers[i])) << i << ": " << *numbers[i];
    }
    ASSERT_TRUE(SameBits(settings.fourParams.scalePpm, back.fourParams.scalePpm));
    EXPECT_EQ(back.heightFit.model, settings.heightFit.model);
  }
}

TEST_F(ParameterFiles, CommentsBlankLinesCrLfAndAByteOrderMarkAreRead) {
  std::string text = "\xEF\xBB\xBF# saved for the Xi'an site\r\n\r\n" + ParameterFileText(Chosen());
  for (std::size_t at = text.find('\n', 40); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, "\r");
  test::WriteBytes(path, text);
  const std::optional<CoordSettings> read = ReadParameterFile(path, {});
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, Chosen());
}

struct BadLine {
  const char* name;
  std::string key;   // the line replaced
  std::string line;  // by this
};

class BadParameterLines : public ParameterFiles, public testing::WithParamInterface<BadLine> {};

TEST_P(BadParameterLines, AreRefusedNamingTheLine) {
  std::uint64_t lineNumber = 0;
  test::WriteBytes(path, WithLine(GetParam().key, GetParam().line, lineNumber));
  MessageRecorder recorder;
  EXPECT_FALSE(ReadParameterFile(path, {}));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0], MessageWithLine("参数文件格式不正确，请检查。", lineNumber, GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadParameterLines,
    testing::Values(BadLine{"UnknownVersion", "version", "version=4"},
                    BadLine{"NegativeTolerance", "tolerance.horizontal", "tolerance.horizontal=-0.01"},
                    BadLine{"VersionWithBlank", "version", "version=1 "},
                    BadLine{"UnknownKey", "seven.dX", "seven.dx=1"},
                    BadLine{"NoEquals", "seven.dX", "seven.dX 1"},
                    BadLine{"RepeatedKey", "seven.dY", "seven.dX=1"},
                    BadLine{"NumberWithUnit", "seven.dX", "seven.dX=1.5m"},
                    BadLine{"EmptyNumber", "four.dEast", "four.dEast="},
                    BadLine{"NotANumber", "heightFit.a0", "heightFit.a0=nan"},
                    BadLine{"Infinite", "heightFit.a1", "heightFit.a1=1e400"},
                    BadLine{"FourScaleCollapses", "four.scalePpm", "four.scalePpm=-1000000"},
                    BadLine{"SwitchInOtherWords", "useSevenParams", "useSevenParams=yes"},
                    BadLine{"UnknownModel", "heightFit.model", "heightFit.model=cubic"},
                    BadLine{"ZoneWidth", "projection.zoneWidth", "projection.zoneWidth=4"},
                    BadLine{"ZoneBeyond", "projection.zone", "projection.zone=121"},
                    BadLine{"ListIndexNotWhole", "projection.listIndex", "projection.listIndex=7.0"},
                    BadLine{"ParameterText", "projection.centralMeridian", "projection.centralMeridian=117E"},
                    BadLine{"NoEllipsoid", "sourceEllipsoid", "sourceEllipsoid="},
                    // Values outside their ranges, and zone fields that do not fit together.
                    BadLine{"CentroidBeyondRange", "heightFit.centroidNorth", "heightFit.centroidNorth=1e308"},
                    BadLine{"MeridianBeyondRange", "projection.centralMeridian", "projection.centralMeridian=1e308"},
                    BadLine{"PlaneHeightBeyondRange", "projection.surfaceHeight", "projection.surfaceHeight=1e300"},
                    BadLine{"SouthOnTransverseMercator", "projection.south", "projection.south=true"},
                    BadLine{"UnknownConvention", "seven.convention", "seven.convention=frame"}),
    [](const testing::TestParamInfo<BadLine>& info) { return info.param.name; });

TEST_F(ParameterFiles, MissingKeyIsRefusedNamingIt) {
  std::uint64_t lineNumber = 0;
  test::WriteBytes(path, WithLine("heightFit.a5", "# heightFit.a5=0", lineNumber));
  MessageRecorder recorder;
  EXPECT_FALSE(ReadParameterFile(path, {}));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_NE(recorder.messages[0].find("heightFit.a5"), std::string::npos);
}

TEST_F(ParameterFiles, MissingFileAndUnwritablePlaceAreReported) {
  MessageRecorder recorder;
  EXPECT_FALSE(ReadParameterFile(folder.File("none.twp"), {}));
  EXPECT_FALSE(WriteParameterFile(folder.File("no/such/folder/set.twp"), Chosen()));
  EXPECT_EQ(recorder.messages.size(), 2u);
}

TEST_F(ParameterFiles, FailedWriteKeepsTheOldFile) {
  ASSERT_TRUE(WriteParameterFile(path, Chosen()));
  const std::string before = test::ReadBytes(path);
  MessageRecorder recorder;
  // A directory where the temporary file would go cannot be replaced.
  EXPECT_FALSE(WriteParameterFile(folder.File(""), Chosen()));
  EXPECT_EQ(test::ReadBytes(path), before);
}

}  // namespace
}  // namespace tarnwell
