#include "estimate/HeightFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "MessageRecorder.h"
#include "NormalEquations.h"
#include "PlaneTestPoints.h"
#include "estimate/FourParameters.h"
#include "estimate/PlaneFitReport.h"

namespace tarnwell {
namespace {

const char* const kRefusal = "公共点不足或分布不当,无法计算高程拟合。";
constexpr int kTermDegree[6] = {0, 1, 1, 2, 2, 2};

using Coefficients = std::array<double, 6>;

const Coefficients kConstant = {3.75, 0, 0, 0, 0, 0};
const Coefficients kPlane = {12.5, 3e-5, -2e-5, 0, 0, 0};
// 2 cm of curvature over 10 km, as a geoid might show.
const Coefficients kQuadratic = {-7.25, 4e-5, 1.5e-5, 2e-10, -3e-10, 1e-10};

PlanePosition ParticipatingCentroid(const std::vector<PlaneCommonPoint>& points) {
  long double north = 0, east = 0;
  int count = 0;
  for (const PlaneCommonPoint& p : points) {
    if (!p.participates) continue;
    north += p.sourceNorth, east += p.sourceEast, ++count;
  }
  return {static_cast<double>(north / count), static_cast<double>(east / count)};
}

// Target heights from the polynomial about the centroid, in long double.
void RaiseTargets(std::vector<PlaneCommonPoint>& points, const Coefficients& a) {
  const PlanePosition centroid = ParticipatingCentroid(points);
  for (PlaneCommonPoint& p : points) {
    const long double dx = p.sourceNorth - centroid.north, dy = p.sourceEast - centroid.east;
    p.targetHeight = static_cast<double>(p.sourceHeight + a[0] + a[1] * dx + a[2] * dy + a[3] * dx * dx +
                                         a[4] * dx * dy + a[5] * dy * dy);
  }
}

std::vector<PlaneCommonPoint> ExactPoints(int count, const Coefficients& a) {
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(count);
  RaiseTargets(points, a);
  return points;
}

// Each term differs by at most 1e-9 m at 10 km from the centroid.
void ExpectSameCoefficients(const Coefficients& actual, const Coefficients& expected) {
  for (int j = 0; j < 6; ++j) {
    EXPECT_NEAR(actual[j] * std::pow(1e4, kTermDegree[j]), expected[j] * std::pow(1e4, kTermDegree[j]), 1e-9)
        << "a" << j;
  }
}

// The fit alone, without its statistics.
std::optional<HeightFit> FitOf(const std::vector<PlaneCommonPoint>& points, HeightModel model) {
  const std::optional<HeightFitEstimate> estimate = FitHeights(points, model);
  if (!estimate) return std::nullopt;
  return estimate->fit;
}

// Refused with the message, a second line saying why where it can.
void ExpectRefused(const std::vector<PlaneCommonPoint>& points, HeightModel model) {
  MessageRecorder recorder;
  EXPECT_FALSE(FitHeights(points, model).has_value());
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].substr(0, recorder.messages[0].find('\n')), kRefusal);
}

// `count` source points on a line through the grid centre at 30° from north,
// the middle one moved `offLine` metres across it.
std::vector<PlaneCommonPoint> PointsOnALine(int count, double offLine) {
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(count);
  const double alongNorth = std::cos(std::numbers::pi / 6), alongEast = std::sin(std::numbers::pi / 6);
  for (int i = 0; i < count; ++i) {
    const double along = -10000 + 20000.0 * i / (count - 1), across = i == count / 2 ? offLine : 0;
    points[i].sourceNorth = test::kGridNorth + along * alongNorth - across * alongEast;
    points[i].sourceEast = test::kGridEast + along * alongEast + across * alongNorth;
  }
  RaiseTargets(points, kPlane);
  return points;
}

TEST(HeightFit, OffsetFollowsThePolynomialAboutTheCentroid) {
  HeightFit fit;
  fit.model = HeightModel::Quadratic;
  fit.centroid = {100, 200};
  fit.coefficients = {1, 0.1, 0.2, 0.01, 0.02, 0.03};
  // dx = 10, dy = −10: 1 + 1 − 2 + 1 − 2 + 3
  EXPECT_DOUBLE_EQ(fit.Offset(110, 190), 2);
  EXPECT_DOUBLE_EQ(fit.Apply(110, 190, 50), 52);
  EXPECT_DOUBLE_EQ(fit.Inverse(110, 190, 52), 50);
}

struct RecoveryCase {
  const char* name;
  HeightModel model;
  const Coefficients* truth;
  int count;
};

void PrintTo(const RecoveryCase& c, std::ostream* out) { *out << c.name; }

class HeightFitRecovery : public testing::TestWithParam<RecoveryCase> {};

TEST_P(HeightFitRecovery, GivesBackTheCoefficientsOfExactHeights) {
  const RecoveryCase& c = GetParam();
  const std::vector<PlaneCommonPoint> points = ExactPoints(c.count, *c.truth);
  MessageRecorder recorder;
  const std::optional<HeightFit> fit = FitOf(points, c.model);
  ASSERT_TRUE(fit.has_value());
  EXPECT_TRUE(recorder.messages.empty());
  EXPECT_EQ(fit->model, c.model);
  const PlanePosition centroid = ParticipatingCentroid(points);
  EXPECT_NEAR(fit->centroid.north, centroid.north, 1e-9);
  EXPECT_NEAR(fit->centroid.east, centroid.east, 1e-9);
  ExpectSameCoefficients(fit->coefficients, *c.truth);

  const PlaneFitReport report = ReportPlaneFit(points, FourParams{}, *fit);
  EXPECT_LT(report.height.largest, 1e-9);
  EXPECT_EQ(report.height.redundancy, c.count - static_cast<long>(CoefficientCount(c.model)));
}

INSTANTIATE_TEST_SUITE_P(
    Models, HeightFitRecovery,
    testing::Values(RecoveryCase{"ConstantFromOne", HeightModel::Constant, &kConstant, 1},
                    RecoveryCase{"ConstantFromTwo", HeightModel::Constant, &kConstant, 2},
                    RecoveryCase{"PlaneFromThree", HeightModel::Plane, &kPlane, 3},
                    RecoveryCase{"PlaneFromSix", HeightModel::Plane, &kPlane, 6},
                    RecoveryCase{"PlaneFrom200", HeightModel::Plane, &kPlane, 200},
                    RecoveryCase{"QuadraticFromSix", HeightModel::Quadratic, &kQuadratic, 6},
                    RecoveryCase{"QuadraticFrom200", HeightModel::Quadratic, &kQuadratic, 200},
                    RecoveryCase{"QuadraticTakesAPlane", HeightModel::Quadratic, &kPlane, 20}),
    [](const testing::TestParamInfo<RecoveryCase>& info) { return std::string(info.param.name); });

// The quadratic's terms at a point, in kilometres about `centroid`.
std::vector<long double> QuadraticTerms(const PlaneCommonPoint& p, const PlanePosition& centroid) {
  const long double x = (p.sourceNorth - centroid.north) / 1000.0L, y = (p.sourceEast - centroid.east) / 1000.0L;
  return {1, x, y, x * x, x * y, y * y};
}

// The normal equations of the quadratic in kilometres about `centroid`.
test::NormalEquations QuadraticEquations(const std::vector<PlaneCommonPoint>& points, const PlanePosition& centroid) {
  test::NormalEquations equations(6);
  for (const PlaneCommonPoint& p : points)
    equations.Add(QuadraticTerms(p, centroid), static_cast<long double>(p.targetHeight) - p.sourceHeight);
  return equations;
}

// The quadratic optimum by the normal equations, in kilometres about the
// test's own centroid, brought back to metres.
Coefficients NormalEquationSolution(const std::vector<PlaneCommonPoint>& points) {
  const std::vector<long double> perKilometre = QuadraticEquations(points, ParticipatingCentroid(points)).Solve();
  Coefficients perMetre;
  for (int j = 0; j < 6; ++j) perMetre[j] = static_cast<double>(perKilometre[j] / std::pow(1000.0L, kTermDegree[j]));
  return perMetre;
}

TEST(HeightFit, NoisyHeightsGiveTheNormalEquationOptimum) {
  std::vector<PlaneCommonPoint> points = ExactPoints(200, kQuadratic);
  test::AddTargetNoise(points, 0.01);
  const std::optional<HeightFit> fit = FitOf(points, HeightModel::Quadratic);
  ASSERT_TRUE(fit.has_value());
  ExpectSameCoefficients(fit->coefficients, NormalEquationSolution(points));
  const PlaneFitReport report = ReportPlaneFit(points, FourParams{}, *fit);
  EXPECT_GT(report.height.rms, 0.007);  // the noise shows, less what six coefficients take up
  EXPECT_LT(report.height.rms, 0.013);
}

// On noisy heights σ0 and every coefficient's deviation agree with the plain
// normal equations (in kilometres about the centroid) within 1 %.
TEST(HeightFit, PrecisionAgreesWithTheNormalEquations) {
  std::vector<PlaneCommonPoint> points = ExactPoints(40, kQuadratic);
  test::AddTargetNoise(points, 0.02);
  const std::optional<HeightFitEstimate> estimate = FitHeights(points, HeightModel::Quadratic);
  ASSERT_TRUE(estimate.has_value());
  const PlanePosition centroid = ParticipatingCentroid(points);
  test::NormalEquations equations = QuadraticEquations(points, centroid);
  const std::vector<long double> perKilometre = equations.Solve();
  long double sumOfSquares = 0;
  for (const PlaneCommonPoint& p : points) {
    const std::vector<long double> terms = QuadraticTerms(p, centroid);
    long double fitted = 0;
    for (int j = 0; j < 6; ++j) fitted += terms[j] * perKilometre[j];
    sumOfSquares += std::pow(static_cast<long double>(p.targetHeight) - p.sourceHeight - fitted, 2);
  }
  const long double sigma0 = std::sqrt(sumOfSquares / 34);
  EXPECT_NEAR(estimate->adjustment.sigma0, sigma0, 0.01 * sigma0);
  EXPECT_GT(estimate->adjustment.sigma0, 0.01);
  const std::vector<std::vector<long double>> q = equations.Inverse();
  for (int j = 0; j < 6; ++j) {
    const double expected = static_cast<double>(sigma0 * std::sqrt(q[j][j]) / std::pow(1000.0L, kTermDegree[j]));
    EXPECT_NEAR(estimate->deviations[j], expected, 0.01 * expected) << "a" << j;
  }
}

// Eight points on a ring of 1 km radius: the quadratic surface's constant and
// square terms cannot be told apart, exactly on the circle or 1 cm off it.
// Spread over the ring's disc the same eight carry it.
TEST(HeightFit, ARingCannotCarryAQuadraticSurfaceItsDiscCan) {
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(8);
  const auto place = [&points](double jitterMetres, bool disc) {
    for (int i = 0; i < 8; ++i) {
      const double radius = (disc ? 300.0 + 100 * i : 1000.0) + jitterMetres * ((i * 5) % 3 - 1);
      points[i].sourceNorth = test::kGridNorth + radius * std::cos(i * std::numbers::pi / 4);
      points[i].sourceEast = test::kGridEast + radius * std::sin(i * std::numbers::pi / 4);
    }
    RaiseTargets(points, kQuadratic);
    test::AddTargetNoise(points, 0.005);
  };
  place(0, false);
  ExpectRefused(points, HeightModel::Quadratic);
  place(0.01, false);
  ExpectRefused(points, HeightModel::Quadratic);
  place(0, true);
  MessageRecorder recorder;
  EXPECT_TRUE(FitHeights(points, HeightModel::Quadratic).has_value());
  EXPECT_TRUE(recorder.messages.empty());
}

TEST(HeightFit, TooFewPointsForTheModelAreRefused) {
  ExpectRefused({}, HeightModel::Constant);
  ExpectRefused(ExactPoints(2, kPlane), HeightModel::Plane);
  ExpectRefused(ExactPoints(5, kQuadratic), HeightModel::Quadratic);
  std::vector<PlaneCommonPoint> sixButOneOut = ExactPoints(6, kQuadratic);
  sixButOneOut[2].participates = false;
  ExpectRefused(sixButOneOut, HeightModel::Quadratic);
}

// Repeated observations of one point carry a constant, nothing more.
TEST(HeightFit, CoincidentPointsCarryOnlyAConstant) {
  std::vector<PlaneCommonPoint> points(3, test::ScatteredPoints(1)[0]);
  points[0].targetHeight = points[0].sourceHeight + 1;
  points[1].targetHeight = points[1].sourceHeight + 2;
  points[2].targetHeight = points[2].sourceHeight + 6;
  const std::optional<HeightFit> constant = FitOf(points, HeightModel::Constant);
  ASSERT_TRUE(constant.has_value());
  EXPECT_NEAR(constant->coefficients[0], 3, 1e-12);
  ExpectRefused(points, HeightModel::Plane);
}

// The tilt across the line is fixed by the middle point alone: 1 cm on it
// would tilt the plane by more than 1 m at the radius (5.8 km) unless it
// stands some 60 m off the line.
TEST(HeightFit, PointsOnALineCannotCarryAPlane) {
  for (double offLine : {0.0, 1e-6, 1e-3, 10.0}) ExpectRefused(PointsOnALine(10, offLine), HeightModel::Plane);
  MessageRecorder recorder;
  EXPECT_TRUE(FitOf(PointsOnALine(10, 200), HeightModel::Plane).has_value());
  EXPECT_TRUE(recorder.messages.empty());
}

// Every point of a circle satisfies dx² + dy² = r²: the constant and the two
// square terms cannot be told apart.
TEST(HeightFit, PointsOnACircleCannotCarryAQuadraticSurface) {
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(12);
  for (int i = 0; i < 12; ++i) {
    points[i].sourceNorth = test::kGridNorth + 8000 * std::cos(i * std::numbers::pi / 6);
    points[i].sourceEast = test::kGridEast + 8000 * std::sin(i * std::numbers::pi / 6);
  }
  RaiseTargets(points, kQuadratic);
  ExpectRefused(points, HeightModel::Quadratic);
  points[0].sourceNorth += 100;  // off the circle
  MessageRecorder recorder;
  EXPECT_TRUE(FitOf(points, HeightModel::Quadratic).has_value());
}

TEST(HeightFit, HeightsThatAreNotNumbersAreRefused) {
  std::vector<PlaneCommonPoint> points = ExactPoints(8, kPlane);
  points[3].targetHeight = std::numeric_limits<double>::quiet_NaN();
  for (HeightModel model : {HeightModel::Constant, HeightModel::Plane, HeightModel::Quadratic}) {
    ExpectRefused(points, model);
  }
}

TEST(HeightFit, AnExcludedOutlierStandsOutAgainstTheRefit) {
  std::vector<PlaneCommonPoint> points = ExactPoints(20, kQuadratic);
  points[4].targetHeight += 0.5;
  const std::optional<HeightFit> all = FitOf(points, HeightModel::Quadratic);
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(ReportPlaneFit(points, FourParams{}, *all).height.largestName, "P4");

  points[4].participates = false;
  const std::optional<HeightFit> refit = FitOf(points, HeightModel::Quadratic);
  ASSERT_TRUE(refit.has_value());
  const PlaneFitReport report = ReportPlaneFit(points, FourParams{}, *refit);
  for (const PlaneResidual& residual : report.points) {
    if (residual.name != "P4") {
      EXPECT_LT(std::fabs(residual.vHeight), 1e-9) << residual.name;
    }
  }
  EXPECT_NEAR(report.points[4].vHeight, 0.5, 1e-9);  // h2 − fitted h2: the target stands 0.5 m high
  EXPECT_LT(report.height.largest, 1e-9);
  EXPECT_EQ(report.height.redundancy, 13);
}

TEST(PlaneFitReport, WithoutParticipatingPointsNothingIsNegative) {
  std::vector<PlaneCommonPoint> points = ExactPoints(3, kPlane);
  for (PlaneCommonPoint& p : points) p.participates = false;
  HeightFit quadratic;
  quadratic.model = HeightModel::Quadratic;
  const PlaneFitReport report = ReportPlaneFit(points, FourParams{}, quadratic);
  EXPECT_EQ(report.points.size(), 3u);
  EXPECT_EQ(report.pointCount, 0u);
  EXPECT_EQ(report.plane.redundancy, 0);
  EXPECT_EQ(report.height.redundancy, 0);
  EXPECT_EQ(report.height.rms, 0);
  EXPECT_EQ(report.height.largestName, "");
}

}  // namespace
}  // namespace tarnwell
