#include "estimate/FourParameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "MessageRecorder.h"
#include "NormalEquations.h"
#include "PlaneTestPoints.h"
#include "estimate/HeightFit.h"
#include "estimate/PlaneFitReport.h"

namespace tarnwell {
namespace {

const char* const kRefusal = "公共点不足或分布不当,无法计算四参数。";
constexpr long double kRadiansPerArcSecond = std::numbers::pi_v<long double> / (180 * 3600);

FourParams Truth() { return {2000, -2000, 100, 25}; }

// The model written out in long double, apart from FourParams::Apply.
void MoveTargets(std::vector<PlaneCommonPoint>& points, const FourParams& truth) {
  const long double angle = truth.rotationArcSeconds * kRadiansPerArcSecond;
  const long double factor = 1 + truth.scalePpm * 1e-6L;
  for (PlaneCommonPoint& p : points) {
    const long double x = p.sourceNorth, y = p.sourceEast;
    p.targetNorth = static_cast<double>(truth.dNorth + factor * (x * std::cos(angle) - y * std::sin(angle)));
    p.targetEast = static_cast<double>(truth.dEast + factor * (x * std::sin(angle) + y * std::cos(angle)));
  }
}

std::vector<PlaneCommonPoint> ExactPoints(int count) {
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(count);
  MoveTargets(points, Truth());
  return points;
}

void ExpectSameParameters(const FourParams& actual, const FourParams& expected) {
  EXPECT_NEAR(actual.dNorth, expected.dNorth, 1e-6);
  EXPECT_NEAR(actual.dEast, expected.dEast, 1e-6);
  EXPECT_NEAR(actual.rotationArcSeconds, expected.rotationArcSeconds, 1e-6);
  EXPECT_NEAR(actual.scalePpm, expected.scalePpm, 1e-6);
}

// The parameters alone, without their statistics.
std::optional<FourParams> ParamsOf(const std::vector<PlaneCommonPoint>& points) {
  const std::optional<FourParamsEstimate> estimate = EstimateFourParameters(points);
  if (!estimate) return std::nullopt;
  return estimate->params;
}

// Refused with the message, a second line saying why where it can.
void ExpectRefused(const std::vector<PlaneCommonPoint>& points, PlaneModel model = PlaneModel::Full) {
  MessageRecorder recorder;
  EXPECT_FALSE(EstimateFourParameters(points, model).has_value());
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].substr(0, recorder.messages[0].find('\n')), kRefusal);
}

PlaneCommonPoint PointAt(double north, double east) {
  PlaneCommonPoint point;
  point.sourceNorth = point.targetNorth = north;
  point.sourceEast = point.targetEast = east;
  return point;
}

struct ApplyCase {
  const char* name;
  FourParams params;
  double north, east;                  // source
  double expectedNorth, expectedEast;  // worked by hand
};

class FourParameterApply : public testing::TestWithParam<ApplyCase> {};

// The sense of the rotation (north towards east) and the place of the scale.
TEST_P(FourParameterApply, FollowsTheModel) {
  const ApplyCase& c = GetParam();
  double north = c.north, east = c.east;
  c.params.Apply(north, east);
  EXPECT_NEAR(north, c.expectedNorth, 1e-9);
  EXPECT_NEAR(east, c.expectedEast, 1e-9);
  c.params.Inverse(north, east);
  EXPECT_NEAR(north, c.north, 1e-9);
  EXPECT_NEAR(east, c.east, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, FourParameterApply,
    testing::Values(ApplyCase{"Translation", {10, 20, 0, 0}, 1, 2, 11, 22},
                    ApplyCase{"QuarterTurnTakesNorthToEast", {0, 0, 324000, 0}, 1, 0, 0, 1},
                    ApplyCase{"QuarterTurnBack", {0, 0, -324000, 0}, 1, 0, 0, -1},
                    ApplyCase{"ScaleDoubles", {0, 0, 0, 1e6}, 3, 4, 6, 8},
                    ApplyCase{"TurnScaleThenShift", {100, -50, 648000, 500000}, 2, -4, 97, -44}),
    [](const testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST(FourParameters, InverseUndoesApplyOnTheGrid) {
  for (const FourParams& params : {Truth(), FourParams{-350.25, 812.5, -3600.5, -140}}) {
    for (const PlaneCommonPoint& p : test::ScatteredPoints(50)) {
      double north = p.sourceNorth, east = p.sourceEast;
      params.Apply(north, east);
      params.Inverse(north, east);
      EXPECT_NEAR(north, p.sourceNorth, 2e-9);
      EXPECT_NEAR(east, p.sourceEast, 2e-9);
      params.Inverse(north, east);
      params.Apply(north, east);
      EXPECT_NEAR(north, p.sourceNorth, 2e-9);
      EXPECT_NEAR(east, p.sourceEast, 2e-9);
    }
  }
}

class FourParameterRecovery : public testing::TestWithParam<int> {};

TEST_P(FourParameterRecovery, GivesBackTheParametersOfExactPoints) {
  const std::vector<PlaneCommonPoint> points = ExactPoints(GetParam());
  MessageRecorder recorder;
  const std::optional<FourParams> params = ParamsOf(points);
  ASSERT_TRUE(params.has_value());
  EXPECT_TRUE(recorder.messages.empty());
  ExpectSameParameters(*params, Truth());

  const PlaneFitReport report = ReportPlaneFit(points, *params, HeightFit{});
  EXPECT_LT(report.plane.largest, 1e-8);
  EXPECT_EQ(report.pointCount, points.size());
  EXPECT_EQ(report.plane.redundancy, 2 * GetParam() - 4);
}

INSTANTIATE_TEST_SUITE_P(PointCounts, FourParameterRecovery, testing::Values(2, 3, 6, 200));

// The optimum by the normal equations of the raw (not centred) unknowns
// ΔX, ΔY, a, b, one pair of rows per point.
struct RawSolution {
  long double dNorth, dEast, a, b;
};

RawSolution NormalEquationSolution(const std::vector<PlaneCommonPoint>& points) {
  test::NormalEquations equations(4);
  for (const PlaneCommonPoint& p : points) {
    const long double x = p.sourceNorth, y = p.sourceEast;
    equations.Add({1, 0, x, -y}, p.targetNorth);
    equations.Add({0, 1, y, x}, p.targetEast);
  }
  const std::vector<long double> s = equations.Solve();
  return {s[0], s[1], s[2], s[3]};
}

TEST(FourParameters, NoisyPointsGiveTheNormalEquationOptimumAndItsResiduals) {
  std::vector<PlaneCommonPoint> points = ExactPoints(200);
  test::AddTargetNoise(points, 0.01);
  const std::optional<FourParams> params = ParamsOf(points);
  ASSERT_TRUE(params.has_value());
  const RawSolution optimum = NormalEquationSolution(points);
  ExpectSameParameters(*params, {static_cast<double>(optimum.dNorth), static_cast<double>(optimum.dEast),
                                 static_cast<double>(std::atan2(optimum.b, optimum.a) / kRadiansPerArcSecond),
                                 static_cast<double>((std::hypot(optimum.a, optimum.b) - 1) * 1e6L)});

  const PlaneFitReport report = ReportPlaneFit(points, *params, HeightFit{});
  long double sumOfSquares = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const PlaneCommonPoint& p = points[i];
    const long double vNorth = p.targetNorth - (optimum.dNorth + optimum.a * p.sourceNorth - optimum.b * p.sourceEast);
    const long double vEast = p.targetEast - (optimum.dEast + optimum.b * p.sourceNorth + optimum.a * p.sourceEast);
    EXPECT_NEAR(report.points[i].vNorth, vNorth, 1e-6);
    EXPECT_NEAR(report.points[i].vEast, vEast, 1e-6);
    sumOfSquares += vNorth * vNorth + vEast * vEast;
  }
  EXPECT_NEAR(report.plane.rms, std::sqrt(sumOfSquares / 200), 1e-6);
  EXPECT_GT(report.plane.rms, 0.01);  // 2-D: about √2 · 1 cm
  EXPECT_EQ(report.plane.redundancy, 396);
}

TEST(FourParameters, TooFewOrCoincidentPointsAreRefused) {
  ExpectRefused({});
  ExpectRefused(ExactPoints(1));
  std::vector<PlaneCommonPoint> oneTaking = ExactPoints(2);
  oneTaking[1].participates = false;
  ExpectRefused(oneTaking);
  const PlaneCommonPoint p = PointAt(test::kGridNorth, test::kGridEast);
  ExpectRefused({p, p, p});
  PlaneCommonPoint notANumber = PointAt(std::numeric_limits<double>::quiet_NaN(), 0);
  ExpectRefused({p, notANumber});
}

// Two points 2 mm apart (radius 1 mm) lie within 1e-9 of 3.4e6 m and are
// taken for one, whatever the model: not even the shift of one of them is
// told apart from the other.
TEST(FourParameters, CoincidenceIsJudgedAgainstTheCoordinateSize) {
  const double north = test::kGridNorth, east = test::kGridEast;
  ExpectRefused({PointAt(north, east), PointAt(north + 0.002, east)});
  ExpectRefused({PointAt(north, east), PointAt(north + 0.002, east)}, PlaneModel::FixedScale);
}

// σ0 and the deviations by the normal equations of the raw unknowns ΔX, ΔY,
// a·U, b·U on coordinates in units U of 1000 km, in long double; the
// rotation and scale through their gradients.
FourParams NormalEquationDeviations(const std::vector<PlaneCommonPoint>& points, long double& sigma0) {
  constexpr long double kUnit = 1e6L;
  test::NormalEquations equations(4);
  for (const PlaneCommonPoint& p : points) {
    const long double x = p.sourceNorth / kUnit, y = p.sourceEast / kUnit;
    equations.Add({1, 0, x, -y}, p.targetNorth);
    equations.Add({0, 1, y, x}, p.targetEast);
  }
  const std::vector<long double> s = equations.Solve();
  long double sumOfSquares = 0;
  for (const PlaneCommonPoint& p : points) {
    const long double x = p.sourceNorth / kUnit, y = p.sourceEast / kUnit;
    sumOfSquares += std::pow(p.targetNorth - (s[0] + s[2] * x - s[3] * y), 2) +
                    std::pow(p.targetEast - (s[1] + s[3] * x + s[2] * y), 2);
  }
  sigma0 = std::sqrt(sumOfSquares / static_cast<long double>(2 * points.size() - 4));
  const std::vector<std::vector<long double>> q = equations.Inverse();
  const long double a = s[2] / kUnit, b = s[3] / kUnit, rho = std::hypot(a, b);
  const auto through = [&](long double ga, long double gb) {  // gradient over a, b
    ga /= kUnit, gb /= kUnit;
    return static_cast<double>(sigma0 * std::sqrt(ga * ga * q[2][2] + 2 * ga * gb * q[2][3] + gb * gb * q[3][3]));
  };
  return {static_cast<double>(sigma0 * std::sqrt(q[0][0])), static_cast<double>(sigma0 * std::sqrt(q[1][1])),
          through(-b / (rho * rho), a / (rho * rho)) / static_cast<double>(kRadiansPerArcSecond),
          through(a / rho, b / rho) * 1e6};
}

// On noisy points σ0 and every deviation agree with the plain normal
// equations within 1 %.
TEST(FourParameters, PrecisionAgreesWithTheNormalEquations) {
  std::vector<PlaneCommonPoint> points = ExactPoints(30);
  test::AddTargetNoise(points, 0.02);
  const std::optional<FourParamsEstimate> estimate = EstimateFourParameters(points);
  ASSERT_TRUE(estimate.has_value());
  long double sigma0 = 0;
  const FourParams expected = NormalEquationDeviations(points, sigma0);
  EXPECT_NEAR(estimate->adjustment.sigma0, sigma0, 0.01 * sigma0);
  EXPECT_GT(estimate->adjustment.sigma0, 0.01);
  const FourParams& d = estimate->deviations;
  for (const auto& [actual, reference] : {std::pair{d.dNorth, expected.dNorth}, {d.dEast, expected.dEast},
                                          {d.rotationArcSeconds, expected.rotationArcSeconds},
                                          {d.scalePpm, expected.scalePpm}}) {
    EXPECT_NEAR(actual, reference, 0.01 * reference);
  }
}

// Exact points of a set without scale give it back with the scale held; one
// point alone gives its shift, the others then showing what it leaves.
TEST(FourParameters, FixedScaleAndOnePointCorrectionFromExactPoints) {
  const FourParams turned = {2000, -2000, 100, 0};
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(6);
  MoveTargets(points, turned);
  std::optional<FourParamsEstimate> estimate = EstimateFourParameters(points, PlaneModel::FixedScale);
  ASSERT_TRUE(estimate.has_value());
  ExpectSameParameters(estimate->params, turned);
  EXPECT_EQ(estimate->params.scalePpm, 0);
  EXPECT_EQ(estimate->deviations.scalePpm, 0);

  const FourParams shifted = {12.5, -7.25, 0, 0};
  std::vector<PlaneCommonPoint> one = test::ScatteredPoints(1);
  MoveTargets(one, shifted);
  estimate = EstimateFourParameters(one, PlaneModel::ShiftOnly);
  ASSERT_TRUE(estimate.has_value());
  ExpectSameParameters(estimate->params, shifted);
  EXPECT_EQ(estimate->adjustment.degreesOfFreedom, 0);
  ExpectRefused(one, PlaneModel::FixedScale);
}

// A source set of `count` points spread over `northMetres` × `eastMetres`
// about (north0, east0), moved by Truth() and 1 cm of noise.
std::vector<PlaneCommonPoint> SpreadPoints(int count, double north0, double east0, double northMetres,
                                           double eastMetres) {
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(count, 23);
  for (PlaneCommonPoint& p : points) {
    p.sourceNorth = north0 + (p.sourceNorth - test::kGridNorth) / 20000 * northMetres;
    p.sourceEast = east0 + (p.sourceEast - test::kGridEast) / 20000 * eastMetres;
  }
  MoveTargets(points, Truth());
  test::AddTargetNoise(points, 0.01);
  return points;
}

struct SpreadCase {
  const char* name;
  double north0, east0, northMetres, eastMetres;
  int count;
  bool determined;
};

void PrintTo(const SpreadCase& c, std::ostream* out) { *out << c.name; }

class FourParameterDetermination : public testing::TestWithParam<SpreadCase> {};

// Sets the points determine are taken at any size; a cluster is refused
// even where its points are told apart from rounding.
TEST_P(FourParameterDetermination, FollowsTheDeviationsOneCentimetreGives) {
  const SpreadCase& c = GetParam();
  const std::vector<PlaneCommonPoint> points = SpreadPoints(c.count, c.north0, c.east0, c.northMetres, c.eastMetres);
  if (c.determined) {
    MessageRecorder recorder;
    EXPECT_TRUE(EstimateFourParameters(points).has_value());
    EXPECT_TRUE(recorder.messages.empty());
  } else {
    ExpectRefused(points);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, FourParameterDetermination,
    testing::Values(SpreadCase{"TwoHundredMetres", test::kGridNorth, test::kGridEast, 200, 200, 5, true},
                    SpreadCase{"OneKilometre", test::kGridNorth, test::kGridEast, 1000, 1000, 5, true},
                    SpreadCase{"TenKilometres", test::kGridNorth, test::kGridEast, 10000, 10000, 6, true},
                    SpreadCase{"ThreeHundredKilometres", test::kGridNorth, test::kGridEast, 3e5, 3e5, 8, true},
                    SpreadCase{"Corridor", test::kGridNorth, test::kGridEast, 10000, 500, 6, true},
                    SpreadCase{"MillimetreClusterOnTheGrid", test::kGridNorth, test::kGridEast, 1e-3, 1e-3, 3, false},
                    SpreadCase{"MillimetreClusterNearTheOrigin", 1000, 1000, 1e-3, 1e-3, 3, false},
                    SpreadCase{"FiveMetres", 1000, 1000, 5, 5, 4, false}),
    [](const testing::TestParamInfo<SpreadCase>& info) { return std::string(info.param.name); });

TEST(FourParameters, AnExcludedOutlierStandsOutAgainstTheRefit) {
  std::vector<PlaneCommonPoint> points = ExactPoints(20);
  points[7].targetNorth += 0.3;
  points[7].targetEast += 0.4;
  const std::optional<FourParams> all = ParamsOf(points);
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(ReportPlaneFit(points, *all, HeightFit{}).plane.largestName, "P7");

  points[7].participates = false;
  const std::optional<FourParams> refit = ParamsOf(points);
  ASSERT_TRUE(refit.has_value());
  ExpectSameParameters(*refit, Truth());
  const PlaneFitReport report = ReportPlaneFit(points, *refit, HeightFit{});
  for (const PlaneResidual& residual : report.points) {
    if (residual.name != "P7") {
      EXPECT_LT(residual.v2D, 1e-8) << residual.name;
    }
  }
  EXPECT_FALSE(report.points[7].participates);
  EXPECT_NEAR(report.points[7].v2D, 0.5, 1e-8);
  EXPECT_LT(report.plane.largest, 1e-8);
  EXPECT_EQ(report.pointCount, 19u);
  EXPECT_EQ(report.plane.redundancy, 34);
}

}  // namespace
}  // namespace tarnwell
