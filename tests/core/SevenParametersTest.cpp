#include "estimate/SevenParameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "BatchTestSupport.h"
#include "MessageRecorder.h"
#include "NormalEquations.h"
#include "engine/BursaWolf.h"
#include "engine/ConversionPlan.h"
#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "tables/ListOrder.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

using Cartesian = std::array<double, 3>;

// Common points made with known parameters: the source points spread over a
// square of `extentMetres` around (b0, l0); the target points are the source
// points through the Bursa-Wolf model, plus noise, on the target ellipsoid.
struct CommonPoints {
  std::vector<std::string> lines;
  std::vector<Cartesian> source, target;  // what the estimation sees, metres
};

enum class Side { Source, Target };

const Ellipsoid& EllipsoidOf(Side side) {
  static const EllipsoidPair pair = [] {
    std::optional<EllipsoidPair> made;
    EXPECT_FALSE(EllipsoidPairOf(CoordSettings::instance(), made));
    return *made;
  }();
  return side == Side::Source ? pair.source : pair.target;
}

AngleFormat FormatOf(Side side) {
  const CoordSettings& settings = CoordSettings::instance();
  return side == Side::Source ? settings.sourceAngleFormat : settings.targetAngleFormat;
}

Cartesian ToCartesian(Side side, std::string_view b, std::string_view l, std::string_view h) {
  GeodeticPoint point;
  EXPECT_TRUE(ReadGeodeticPoint(b, l, h, FormatOf(side), point));
  const CartesianPoint xyz = EllipsoidOf(side).ToCartesian(point);
  return {xyz.X, xyz.Y, xyz.Z};
}

CommonPoints MakeCommonPoints(const SevenParams& truth, double b0, double l0, double extentMetres, int count,
                              double noiseMetres = 0, unsigned seed = 7, double heightRangeMetres = 800) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> offset(-0.5, 0.5), height(0, heightRangeMetres);
  std::normal_distribution<double> noise(0, noiseMetres > 0 ? noiseMetres : 1);
  const double degreesPerMetre = 1 / 111195.0;
  CommonPoints points;
  for (int i = 0; i < count; ++i) {
    const std::string b = FormatNumber(b0 + offset(random) * extentMetres * degreesPerMetre);
    const std::string l = FormatNumber(l0 + offset(random) * extentMetres * degreesPerMetre / std::cos(b0 * M_PI / 180));
    const std::string h = FormatNumber(height(random));
    const Cartesian source = ToCartesian(Side::Source, b, l, h);
    CartesianPoint moved = ApplyBursaWolf(truth, {source[0], source[1], source[2]});
    for (double* axis : {&moved.X, &moved.Y, &moved.Z}) *axis += noiseMetres > 0 ? noise(random) : 0;
    const GeodeticPoint target = EllipsoidOf(Side::Target).ToGeodetic(moved);
    const std::string t[3] = {FormatNumber(target.latitude), FormatNumber(target.longitude), FormatNumber(target.height)};
    points.lines.push_back("K" + std::to_string(i) + "," + b + "," + l + "," + h + "," + t[0] + "," + t[1] + "," + t[2]);
  }
  std::sort(points.lines.begin(), points.lines.end(), ListTextLess);  // as the page's list holds them
  for (const std::string& line : points.lines) {
    std::vector<std::string> f = SplitAtChar(line, ',');
    points.source.push_back(ToCartesian(Side::Source, f[1], f[2], f[3]));
    points.target.push_back(ToCartesian(Side::Target, f[4], f[5], f[6]));
  }
  return points;
}

// The least-squares optimum by the normal equations, in long double, with
// the coordinates reduced to their centroid; translations carried back to the
// origin. Independent of the estimator's LSQR.
SevenParams NormalEquationSolution(const CommonPoints& points) {
  const std::size_t n = points.source.size();
  long double centroid[3] = {0, 0, 0};
  for (const Cartesian& s : points.source) {
    for (int axis = 0; axis < 3; ++axis) centroid[axis] += s[axis] / static_cast<long double>(n);
  }
  test::NormalEquations equations(7);
  for (std::size_t i = 0; i < n; ++i) {
    const long double x = points.source[i][0] - centroid[0], y = points.source[i][1] - centroid[1],
                      z = points.source[i][2] - centroid[2];
    const std::vector<long double> rows[3] = {{1, 0, 0, x, 0, -z, y}, {0, 1, 0, y, z, 0, -x}, {0, 0, 1, z, -y, x, 0}};
    for (int axis = 0; axis < 3; ++axis) {
      equations.Add(rows[axis], static_cast<long double>(points.target[i][axis]) - points.source[i][axis]);
    }
  }
  const std::vector<long double> p = equations.Solve();
  const long double m = p[3], rX = p[4], rY = p[5], rZ = p[6];
  const long double arcSecondsPerRadian = 180 * 3600 / 3.14159265358979323846264338327950288L;
  SevenParams result;
  result.dX = static_cast<double>(p[0] - (m * centroid[0] - rY * centroid[2] + rZ * centroid[1]));
  result.dY = static_cast<double>(p[1] - (m * centroid[1] + rX * centroid[2] - rZ * centroid[0]));
  result.dZ = static_cast<double>(p[2] - (m * centroid[2] - rX * centroid[1] + rY * centroid[0]));
  result.rX = static_cast<double>(rX * arcSecondsPerRadian);
  result.rY = static_cast<double>(rY * arcSecondsPerRadian);
  result.rZ = static_cast<double>(rZ * arcSecondsPerRadian);
  result.scalePpm = static_cast<double>(m * 1e6);
  return result;
}

// Within 1e-4 m, 1e-5", 1e-5 ppm.
void ExpectSameParameters(const SevenParams& actual, const SevenParams& expected) {
  EXPECT_NEAR(actual.dX, expected.dX, 1e-4);
  EXPECT_NEAR(actual.dY, expected.dY, 1e-4);
  EXPECT_NEAR(actual.dZ, expected.dZ, 1e-4);
  EXPECT_NEAR(actual.rX, expected.rX, 1e-5);
  EXPECT_NEAR(actual.rY, expected.rY, 1e-5);
  EXPECT_NEAR(actual.rZ, expected.rZ, 1e-5);
  EXPECT_NEAR(actual.scalePpm, expected.scalePpm, 1e-5);
}

SevenParams Truth() {
  SevenParams truth;
  truth.dX = 24.512;
  truth.dY = -123.274;
  truth.dZ = -80.105;
  truth.rX = -0.354;
  truth.rY = 2.117;
  truth.rZ = -1.853;
  truth.scalePpm = 3.21;
  return truth;
}

const std::string kUndetermined = "公共点不足或分布不当,无法计算七参数。";

class SevenParameters : public testing::Test {
 protected:
  void SetUp() override {
    CoordSettings::instance() = {};
    test::LoadTestEllipsoids(folder);
    CoordSettings& settings = Settings();
    settings.sourceEllipsoid = "WGS84";
    settings.targetEllipsoid = "krass";
    settings.sourceAngleFormat = settings.targetAngleFormat = AngleFormat::DDD;
  }
  void TearDown() override { CoordSettings::instance() = {}; }

  static CoordSettings& Settings() { return CoordSettings::instance(); }

  // The lines as a list of common points, every one taking part.
  static std::vector<CommonPointLine> AllTakePart(const std::vector<std::string>& lines) {
    std::vector<CommonPointLine> list;
    for (const std::string& line : lines) list.push_back({line});
    return list;
  }

  static std::vector<std::string> Texts(const std::vector<CommonPointLine>& list) {
    std::vector<std::string> texts;
    for (const CommonPointLine& point : list) texts.push_back(point.text);
    return texts;
  }

  // A refusal shows exactly `message` and changes neither the parameters
  // nor the report.
  void ExpectRefused(const std::vector<std::string>& lines, const std::string& message) {
    ExpectRefused(AllTakePart(lines), message);
  }
  void ExpectRefused(const std::vector<CommonPointLine>& list, const std::string& message) {
    recorder.messages.clear();
    EXPECT_FALSE(ComputeSevenParameters(Settings(), list));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{message});
  }

  // Refused as points that do not determine the parameters: the message,
  // and on a second line why where it can be said.
  void ExpectUndetermined(const std::vector<std::string>& lines) { ExpectUndetermined(AllTakePart(lines)); }
  void ExpectUndetermined(const std::vector<CommonPointLine>& list) {
    recorder.messages.clear();
    EXPECT_FALSE(ComputeSevenParameters(Settings(), list));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].substr(0, recorder.messages[0].find('\n')), kUndetermined);
  }

  // The estimate, which must succeed.
  static SevenParamsEstimate Estimate(const std::vector<std::string>& lines) { return Estimate(AllTakePart(lines)); }
  static SevenParamsEstimate Estimate(const std::vector<CommonPointLine>& list) {
    std::optional<SevenParamsEstimate> estimate = ComputeSevenParameters(Settings(), list);
    EXPECT_TRUE(estimate);
    return estimate.value_or(SevenParamsEstimate{});
  }

  test::ScratchFolder folder;
  MessageRecorder recorder;
};

struct AreaCase {
  const char* name;
  double extentMetres;
  int count;
  double b0, l0;
};

void PrintTo(const AreaCase& c, std::ostream* out) { *out << c.name; }

class SevenParameterRecovery : public SevenParameters, public testing::WithParamInterface<AreaCase> {};

TEST_P(SevenParameterRecovery, GivesBackTheParametersOfExactPoints) {
  const AreaCase& c = GetParam();
  const CommonPoints points = MakeCommonPoints(Truth(), c.b0, c.l0, c.extentMetres, c.count);
  const auto [params, deviations, inverse, report] = Estimate(points.lines);
  EXPECT_TRUE(recorder.messages.empty());
  ExpectSameParameters(params, Truth());
  EXPECT_LT(report.largest3D, 1e-4);
  EXPECT_EQ(report.pointCount, static_cast<std::size_t>(c.count));
}

INSTANTIATE_TEST_SUITE_P(
    Areas, SevenParameterRecovery,
    testing::Values(AreaCase{"OneKilometre", 1000, 5, 31.2, 121.5}, AreaCase{"FiveKilometres", 5000, 5, 39.9, 116.4},
                    AreaCase{"FiveKilometresSouth", 5000, 8, -33.87, 151.2},
                    AreaCase{"ThreeHundredKilometres", 300000, 12, 30.6, 104.1}),
    [](const testing::TestParamInfo<AreaCase>& info) { return std::string(info.param.name); });

TEST_F(SevenParameters, NoisyPointsGiveTheLeastSquaresOptimumAndItsResiduals) {
  const CommonPoints points = MakeCommonPoints(Truth(), 23.1, 113.3, 5000, 12, 0.01);
  const auto [params, deviations, inverse, report] = Estimate(points.lines);
  const SevenParams optimum = NormalEquationSolution(points);
  ExpectSameParameters(params, optimum);

  // The residuals: target minus the source moved with the estimate.
  ASSERT_EQ(report.points.size(), points.lines.size());
  double sumOfSquares = 0, largest = 0;
  std::string largestName;
  for (std::size_t i = 0; i < points.lines.size(); ++i) {
    const Cartesian& s = points.source[i];
    const CartesianPoint moved = ApplyBursaWolf(optimum, {s[0], s[1], s[2]});
    const double v[3] = {points.target[i][0] - moved.X, points.target[i][1] - moved.Y, points.target[i][2] - moved.Z};
    const PointResidual& r = report.points[i];
    EXPECT_EQ(r.name, SplitAtChar(points.lines[i], ',')[0]);
    EXPECT_NEAR(r.vX, v[0], 1e-6);
    EXPECT_NEAR(r.vY, v[1], 1e-6);
    EXPECT_NEAR(r.vZ, v[2], 1e-6);
    const double v3D = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    EXPECT_NEAR(r.v3D, v3D, 1e-6);
    sumOfSquares += v3D * v3D;
    if (v3D > largest) largest = v3D, largestName = r.name;
  }
  EXPECT_NEAR(report.rms3D, std::sqrt(sumOfSquares / 12), 1e-6);
  EXPECT_GT(report.rms3D, 0.003);  // the noise shows
  EXPECT_NEAR(report.largest3D, largest, 1e-6);
  EXPECT_EQ(report.largestName, largestName);
  EXPECT_EQ(report.pointCount, 12u);
  EXPECT_EQ(report.redundancy, 29);
}

// σ0 and the deviations by the normal equations of the raw unknowns
// (translations at the earth's centre, rotations and scale on coordinates in
// units of 1000 km), in long double: the same model set up without the
// centroid reduction or the radius scaling of the estimator.
struct Precision {
  long double sigma0 = 0;
  SevenParams deviations;
};

Precision NormalEquationPrecision(const CommonPoints& points, DatumModel model) {
  constexpr long double kUnit = 1e6L;  // metres
  const std::size_t unknowns = model == DatumModel::Full ? 7 : 6;
  test::NormalEquations equations(unknowns);
  std::vector<std::vector<long double>> rows;
  std::vector<long double> observations;
  for (std::size_t i = 0; i < points.source.size(); ++i) {
    const long double x = points.source[i][0] / kUnit, y = points.source[i][1] / kUnit, z = points.source[i][2] / kUnit;
    // dX, dY, dZ, rX, rY, rZ, scale.
    const std::vector<long double> axes[3] = {{1, 0, 0, 0, -z, y, x}, {0, 1, 0, z, 0, -x, y}, {0, 0, 1, -y, x, 0, z}};
    for (int axis = 0; axis < 3; ++axis) {
      rows.emplace_back(axes[axis].begin(), axes[axis].begin() + static_cast<std::ptrdiff_t>(unknowns));
      observations.push_back(static_cast<long double>(points.target[i][axis]) - points.source[i][axis]);
      equations.Add(rows.back(), observations.back());
    }
  }
  const std::vector<long double> solution = equations.Solve();
  long double sumOfSquares = 0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    long double fitted = 0;
    for (std::size_t j = 0; j < unknowns; ++j) fitted += rows[r][j] * solution[j];
    sumOfSquares += (observations[r] - fitted) * (observations[r] - fitted);
  }
  Precision precision;
  precision.sigma0 = std::sqrt(sumOfSquares / static_cast<long double>(rows.size() - unknowns));
  const std::vector<std::vector<long double>> cofactors = equations.Inverse();
  const auto deviation = [&](std::size_t j, long double unit) {
    return static_cast<double>(precision.sigma0 * std::sqrt(cofactors[j][j]) * unit);
  };
  const long double arcSeconds = 180 * 3600 / 3.14159265358979323846264338327950288L / kUnit;
  precision.deviations = {deviation(0, 1), deviation(1, 1), deviation(2, 1), deviation(3, arcSeconds),
                          deviation(4, arcSeconds), deviation(5, arcSeconds),
                          unknowns == 7 ? deviation(6, 1e6L / kUnit) : 0};
  return precision;
}

struct PrecisionCase {
  const char* name;
  DatumModel model;
  double extentMetres;
  int count;
};

void PrintTo(const PrecisionCase& c, std::ostream* out) { *out << c.name; }

class SevenParameterPrecision : public SevenParameters, public testing::WithParamInterface<PrecisionCase> {};

// On noisy points σ0 and every deviation agree with the plain normal
// equations within 1 %.
TEST_P(SevenParameterPrecision, AgreesWithTheNormalEquations) {
  const PrecisionCase& c = GetParam();
  SevenParams truth = Truth();
  if (c.model == DatumModel::FixedScale) truth.scalePpm = 0;
  const CommonPoints points = MakeCommonPoints(truth, 30.5, 114.3, c.extentMetres, c.count, 0.02, 3);
  const std::optional<SevenParamsEstimate> estimate = ComputeSevenParameters(Settings(), AllTakePart(points.lines), c.model);
  ASSERT_TRUE(estimate);
  const Precision expected = NormalEquationPrecision(points, c.model);
  EXPECT_NEAR(estimate->report.sigma0, expected.sigma0, 0.01 * expected.sigma0);
  EXPECT_GT(estimate->report.sigma0, 0.01);  // the noise shows
  const SevenParams& d = estimate->deviations;
  const SevenParams& e = expected.deviations;
  for (const auto& [actual, reference] : {std::pair{d.dX, e.dX}, {d.dY, e.dY}, {d.dZ, e.dZ}, {d.rX, e.rX},
                                          {d.rY, e.rY}, {d.rZ, e.rZ}, {d.scalePpm, e.scalePpm}}) {
    EXPECT_NEAR(actual, reference, 0.01 * reference);
  }
  EXPECT_EQ(estimate->report.redundancy, 3 * c.count - (c.model == DatumModel::Full ? 7 : 6));
}

INSTANTIATE_TEST_SUITE_P(Sets, SevenParameterPrecision,
                         testing::Values(PrecisionCase{"FiveKilometres", DatumModel::Full, 5000, 12},
                                         PrecisionCase{"ThreeHundredKilometres", DatumModel::Full, 300000, 20},
                                         PrecisionCase{"FixedScale", DatumModel::FixedScale, 5000, 12}),
                         [](const testing::TestParamInfo<PrecisionCase>& info) { return std::string(info.param.name); });

// Six parameters from exact points of a set without scale give it back, the
// scale held at 0; the opposite set takes the targets back to the sources.
TEST_F(SevenParameters, FixedScaleAndTheOppositeSetFromExactPoints) {
  SevenParams truth = Truth();
  truth.scalePpm = 0;
  const CommonPoints points = MakeCommonPoints(truth, 30.5, 114.3, 20000, 6);
  const std::optional<SevenParamsEstimate> estimate =
      ComputeSevenParameters(Settings(), AllTakePart(points.lines), DatumModel::FixedScale);
  ASSERT_TRUE(estimate);
  ExpectSameParameters(estimate->params, truth);
  EXPECT_EQ(estimate->deviations.scalePpm, 0);
  for (std::size_t i = 0; i < points.target.size(); ++i) {
    const Cartesian& t = points.target[i];
    const CartesianPoint back = ApplyBursaWolf(estimate->inverse, {t[0], t[1], t[2]});
    EXPECT_NEAR(back.X, points.source[i][0], 1e-4);
    EXPECT_NEAR(back.Y, points.source[i][1], 1e-4);
    EXPECT_NEAR(back.Z, points.source[i][2], 1e-4);
  }
}

// A point whose target stands 5 cm high is flagged and named the suspect;
// the others stay within the tolerance of 2 cm and 3 cm.
TEST_F(SevenParameters, APointBeyondTheToleranceIsFlaggedAndSuspected) {
  const CommonPoints points = MakeCommonPoints(Truth(), 30.5, 114.3, 5000, 10, 0.002);
  std::vector<std::string> lines = points.lines;
  std::vector<std::string> fields = SplitAtChar(lines[4], ',');
  double height = 0;
  ASSERT_TRUE(ReadNumber(fields[6], height));
  fields[6] = FormatNumber(height + 0.05);
  lines[4] = fields[0];
  for (std::size_t i = 1; i < fields.size(); ++i) lines[4] += "," + fields[i];
  const FitReport report = Estimate(lines).report;
  for (std::size_t i = 0; i < report.points.size(); ++i) EXPECT_EQ(report.points[i].flagged, i == 4) << i;
  EXPECT_GT(std::fabs(report.points[4].vVertical), 0.03);
  EXPECT_LT(report.points[4].vHorizontal, 0.02);
  EXPECT_EQ(report.suspectName, fields[0]);
}

// Common points from source points given earth-centred, moved by Truth()
// with `noiseMetres` of noise.
std::vector<std::string> LinesThrough(const std::vector<CartesianPoint>& sources, double noiseMetres) {
  std::mt19937 random(17);
  std::normal_distribution<double> noise(0, noiseMetres);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    CartesianPoint moved = ApplyBursaWolf(Truth(), sources[i]);
    for (double* axis : {&moved.X, &moved.Y, &moved.Z}) *axis += noise(random);
    const GeodeticPoint s = EllipsoidOf(Side::Source).ToGeodetic(sources[i]);
    const GeodeticPoint t = EllipsoidOf(Side::Target).ToGeodetic(moved);
    lines.push_back("L" + std::to_string(i) + "," + FormatNumber(s.latitude) + "," + FormatNumber(s.longitude) + "," +
                    FormatNumber(s.height) + "," + FormatNumber(t.latitude) + "," + FormatNumber(t.longitude) + "," +
                    FormatNumber(t.height));
  }
  return lines;
}

struct DeterminationCase {
  const char* name;
  double extentMetres;
  double heightRangeMetres;
  int count;
};

void PrintTo(const DeterminationCase& c, std::ostream* out) { *out << c.name; }

class SevenParameterDetermination : public SevenParameters, public testing::WithParamInterface<DeterminationCase> {};

// Well-spread sets of any size are taken, flat ones too: every local network
// is nearly a plane.
TEST_P(SevenParameterDetermination, TakesWellSpreadSets) {
  const DeterminationCase& c = GetParam();
  const CommonPoints points = MakeCommonPoints(Truth(), 30.5, 114.3, c.extentMetres, c.count, 0.01, 7,
                                               c.heightRangeMetres);
  EXPECT_TRUE(ComputeSevenParameters(Settings(), AllTakePart(points.lines)));
  EXPECT_TRUE(recorder.messages.empty()) << recorder.messages[0];
}

INSTANTIATE_TEST_SUITE_P(
    Sets, SevenParameterDetermination,
    testing::Values(DeterminationCase{"TwoHundredMetres", 200, 30, 6}, DeterminationCase{"OneKilometre", 1000, 800, 5},
                    DeterminationCase{"TenKilometres", 10000, 800, 6},
                    DeterminationCase{"ThreeHundredKilometres", 300000, 800, 8},
                    DeterminationCase{"FlatTwoKilometres", 2000, 0.5, 6}),
    [](const testing::TestParamInfo<DeterminationCase>& info) { return std::string(info.param.name); });

// Four points 3 to 5 cm off a 10 km line with 1 cm of noise, and three
// points within 1 mm of each other: no rotation about the line, no rotation
// at all.
TEST_F(SevenParameters, SetsThatDetermineNothingAreRefusedSayingWhy) {
  const CartesianPoint start = EllipsoidOf(Side::Source).ToCartesian({30.5, 114.3, 10});
  std::vector<CartesianPoint> line, cluster;
  for (int i = 0; i < 4; ++i) {
    const double off = (i % 2 ? 1 : -1) * (0.03 + 0.02 * i / 3);
    line.push_back({start.X + 2666.7 * i, start.Y + 2000.0 * i, start.Z + off});
    if (i < 3) cluster.push_back({start.X + 0.0004 * i, start.Y + 0.0003 * (i % 2), start.Z + 0.0002 * i});
  }
  ExpectUndetermined(LinesThrough(line, 0.01));
  EXPECT_NE(recorder.messages[0].find("\n1 厘米的观测误差可使旋转"), std::string::npos) << recorder.messages[0];
  ExpectUndetermined(LinesThrough(cluster, 0.01));
  EXPECT_TRUE(recorder.messages[0].ends_with("″ (限值 206″)")) << recorder.messages[0];
}

TEST_F(SevenParameters, ImportingAFileTwiceDoublesThePointsButNotTheEstimate) {
  const CommonPoints points = MakeCommonPoints(Truth(), 30.5, 114.3, 5000, 6, 0.01);
  std::string bytes;
  for (const std::string& line : points.lines) bytes += line + "\r\n";
  const std::string path = folder.File("common.csv");
  test::WriteBytes(path, bytes);

  std::vector<CommonPointLine> list;
  ASSERT_TRUE(ImportCommonPointFile(Settings(), path, list));
  const SevenParams single = Estimate(list).params;
  ASSERT_TRUE(ImportCommonPointFile(Settings(), path, list));
  ASSERT_EQ(list.size(), 12u);
  const std::vector<std::string> texts = Texts(list);
  EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end(), ListTextLess));
  EXPECT_EQ(list[0], list[1]);
  const auto [params, deviations, inverse, report] = Estimate(list);
  ExpectSameParameters(params, single);
  EXPECT_EQ(report.pointCount, 12u);
  EXPECT_EQ(report.redundancy, 29);
}

TEST_F(SevenParameters, RefusalsShowTheirMessageAndChangeNothing) {
  const std::string good = MakeCommonPoints(Truth(), 30.5, 114.3, 5000, 1).lines[0];
  ExpectRefused(std::vector<CommonPointLine>{}, "没有公共点,请先导入文件。");
  for (const std::string& bad : {std::string("K,1,2,3,4,5"), std::string("K,1,2,3,4,5,6,7"), std::string("K,1,2,3,4,5,6,"),
                                 std::string("K 1 2 3 4 5 6"), std::string()}) {
    ExpectRefused({good, bad}, "文件的格式不正确，请检查。\n第 2 行: " + bad);
  }
  ExpectRefused({good, "K,3l.5,114,0,30,114,0"}, "坐标格式错误,请检查\n第 2 行: K,3l.5,114,0,30,114,0");
  ExpectRefused({good, "K,30,114,0,30,114,"}, "坐标格式错误,请检查.\n第 2 行: K,30,114,0,30,114,");
  Settings().sourceAngleFormat = Settings().targetAngleFormat = AngleFormat::DMS;
  ExpectRefused({"K,30:30,114:0:0,0,30:0:0,114:0:0,0"}, "坐标格式错误,请检查\n第 1 行: K,30:30,114:0:0,0,30:0:0,114:0:0,0");
  ExpectRefused({"K,30:0:0,114:0:0,0,30:30,114:0:0,0"}, "坐标格式错误,请检查.\n第 1 行: K,30:0:0,114:0:0,0,30:30,114:0:0,0");
  Settings().targetEllipsoid = "WGS84";
  ExpectRefused({good}, "椭球必须不同.");
}

// Numbers the solver cannot work with end in a message, never in a crash or
// in parameters that are not numbers.
TEST_F(SevenParameters, UnusableNumbersAreReportedNotStored) {
  std::vector<std::string> lines = MakeCommonPoints(Truth(), 30.5, 114.3, 5000, 4).lines;
  lines[2] = "K9,30.5,114.3,1e300,30.5,114.3,0";  // a height beyond any use
  ExpectRefused(lines, "七参数计算失败,请检查公共点。");
}

// Points that cannot determine seven parameters are refused, never solved
// into absurd numbers: fewer than three, all on one spot, or on one line.
TEST_F(SevenParameters, DegenerateCommonPointsAreRefused) {
  const CommonPoints points = MakeCommonPoints(Truth(), 30.5, 114.3, 5000, 3);
  const std::string& one = points.lines[0];
  ExpectUndetermined({one});
  ExpectUndetermined({points.lines[0], points.lines[1]});
  ExpectUndetermined({one, one, one});
  // Ten points at the pole, in different longitudes: one spot in space.
  std::vector<std::string> pole;
  for (int i = 0; i < 10; ++i) {
    const std::string longitude = std::to_string(10 * i);
    pole.push_back("P,90," + longitude + ",0,90," + longitude + ",5");
  }
  ExpectUndetermined(pole);
  EXPECT_TRUE(Estimate(points.lines).report.redundancy >= 2);
}

// Three points on a straight line 10 km long through space, the middle one
// moved sideways: 1 cm of noise would turn the set about the line by more
// than 1 m at its radius (4 km) unless the middle point stands some 50 m off
// the line.
TEST_F(SevenParameters, CollinearityIsJudgedAgainstItsThreshold) {
  const Ellipsoid& wgs84 = EllipsoidOf(Side::Source);
  const CartesianPoint start = wgs84.ToCartesian({30.5, 114.3, 10});
  const auto line = [&](double sidewaysMetres) {
    std::vector<std::string> lines;
    for (int i = 0; i < 3; ++i) {
      // Along X and Y; sideways along Z.
      const CartesianPoint at{start.X + 4000 * i, start.Y + 3000 * i, start.Z + (i == 1 ? sidewaysMetres : 0)};
      const GeodeticPoint p = wgs84.ToGeodetic(at);
      const std::string texts = FormatNumber(p.latitude) + "," + FormatNumber(p.longitude) + "," + FormatNumber(p.height);
      lines.push_back("K" + std::to_string(i) + "," + texts + "," + texts);
    }
    return lines;
  };
  ExpectUndetermined(line(0));
  ExpectUndetermined(line(10));
  EXPECT_TRUE(ComputeSevenParameters(Settings(), AllTakePart(line(500))));
}

// A point moved 0.5 m shows the largest residual; kept out, it no longer
// bends the estimate: the others fit to rounding again, and it still shows
// its residual against the new parameters. The summary and the redundancy
// count the participating points only.
TEST_F(SevenParameters, AnExcludedPointKeepsItsResidualButLeavesTheEstimate) {
  const CommonPoints points = MakeCommonPoints(Truth(), 30.5, 114.3, 5000, 10);
  std::vector<CommonPointLine> list = AllTakePart(points.lines);
  std::vector<std::string> fields = SplitAtChar(list[3].text, ',');
  double targetHeight = 0;
  ASSERT_TRUE(ReadNumber(fields[6], targetHeight));
  fields[6] = FormatNumber(targetHeight + 0.5);
  list[3].text = fields[0];
  for (std::size_t i = 1; i < fields.size(); ++i) list[3].text += "," + fields[i];

  const FitReport spoiled = Estimate(list).report;
  EXPECT_EQ(spoiled.largestName, fields[0]);
  EXPECT_GT(spoiled.largest3D, 0.2);

  list[3].participates = false;
  const auto [params, deviations, inverse, report] = Estimate(list);
  ExpectSameParameters(params, Truth());
  ASSERT_EQ(report.points.size(), 10u);
  for (std::size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(report.points[i].participates, i != 3);
    if (i != 3) {
      EXPECT_LT(report.points[i].v3D, 1e-4) << i;
    }
  }
  EXPECT_NEAR(report.points[3].v3D, 0.5, 1e-3);
  EXPECT_LT(report.largest3D, 1e-4);
  EXPECT_NE(report.largestName, fields[0]);
  EXPECT_EQ(report.pointCount, 9u);
  EXPECT_EQ(report.redundancy, 20);

  // Two participating points cannot fix seven parameters.
  for (std::size_t i = 2; i < 10; ++i) list[i].participates = false;
  ExpectUndetermined(list);
}

TEST_F(SevenParameters, ImportKeepsEveryLineInSortedOrder) {
  const std::string path = folder.File("lines.csv");
  test::WriteBytes(path, "b,1,1,1,1,1,1\r\n\nA,2,2,2,2,2,2\n  \nc,3,3,3,3,3,3");  // blank lines; no final line end
  std::vector<CommonPointLine> list = {{"B0", false}, {"zz"}};
  ASSERT_TRUE(ImportCommonPointFile(Settings(), path, list));
  EXPECT_EQ(list, (std::vector<CommonPointLine>{
                      {"A,2,2,2,2,2,2"}, {"b,1,1,1,1,1,1"}, {"B0", false}, {"c,3,3,3,3,3,3"}, {"zz"}}));

  test::WriteBytes(path, "x,1,1,1,1,1,1\r\n");  // a final line end adds no empty item
  ASSERT_TRUE(ImportCommonPointFile(Settings(), path, list));
  EXPECT_EQ(list.size(), 6u);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(SevenParameters, ImportOfAFileThatCannotBeReadLeavesTheList) {
  std::vector<CommonPointLine> list = {{"kept"}};
  EXPECT_FALSE(ImportCommonPointFile(Settings(), folder.File("missing.csv"), list));
  EXPECT_FALSE(ImportCommonPointFile(Settings(), folder.File(""), list));  // a folder
  EXPECT_EQ(Texts(list), std::vector<std::string>{"kept"});
  EXPECT_EQ(recorder.messages, (std::vector<std::string>{"坐标文件无法读取。", "坐标文件无法读取。"}));
}

// One bad line keeps the whole file out, and says where it is.
TEST_F(SevenParameters, ImportChecksEveryLineBeforeAddingAny) {
  const std::string path = folder.File("bad.csv");
  test::WriteBytes(path, "A,30,114,0,30,114,0\nB,30,114,0,30,114\nC,30,114,0,30,114,0\n");
  std::vector<CommonPointLine> list = {{"kept"}};
  EXPECT_FALSE(ImportCommonPointFile(Settings(), path, list));
  EXPECT_EQ(Texts(list), std::vector<std::string>{"kept"});
  EXPECT_EQ(recorder.messages, std::vector<std::string>{"文件的格式不正确，请检查。\n第 2 行: B,30,114,0,30,114"});
}

// A large file is loaded, then sorted once: 200 000 points in reverse order.
TEST_F(SevenParameters, ImportSortsALargeFileOnce) {
  std::string bytes;
  for (int i = 200000; i > 0; --i) {
    bytes += 'P';
    bytes += std::to_string(i);
    bytes += ",30,114,0,30,114,0\n";
  }
  const std::string path = folder.File("large.csv");
  test::WriteBytes(path, bytes);
  std::vector<CommonPointLine> list = {{"P150000,1"}};
  ASSERT_TRUE(ImportCommonPointFile(Settings(), path, list));
  ASSERT_EQ(list.size(), 200001u);
  const std::vector<std::string> texts = Texts(list);
  EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end(), ListTextLess));
  EXPECT_EQ(texts.front(), "P1,30,114,0,30,114,0");
}

}  // namespace
}  // namespace tarnwell
