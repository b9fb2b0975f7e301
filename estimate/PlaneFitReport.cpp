#include "estimate/PlaneFitReport.h"

#include <algorithm>
#include <cmath>

#include "engine/ConversionPlan.h"
#include "engine/Messages.h"

namespace tarnwell {
namespace {

PlaneResidual ResidualOf(const PlaneCommonPoint& point, const FourParams& params, const HeightFit& heightFit,
                         const ResidualTolerance& tolerance) {
  double north = point.sourceNorth, east = point.sourceEast;
  params.Apply(north, east);
  PlaneResidual residual;
  residual.name = point.name;
  residual.participates = point.participates;
  residual.vNorth = point.targetNorth - north;
  residual.vEast = point.targetEast - east;
  residual.v2D = std::hypot(residual.vNorth, residual.vEast);
  residual.vHeight = point.targetHeight - heightFit.Apply(point.sourceNorth, point.sourceEast, point.sourceHeight);
  residual.flagged = residual.v2D > tolerance.horizontal || std::fabs(residual.vHeight) > tolerance.vertical;
  return residual;
}

// Root mean square and largest of the residual `value` picks, over the
// participating points; `observations` − `unknowns` the redundancy.
template <typename Value>
ResidualSummary Summarise(const std::vector<PlaneResidual>& residuals, Value value, long observations,
                          long unknowns) {
  ResidualSummary summary;
  double sumOfSquares = 0;
  long count = 0;
  for (const PlaneResidual& residual : residuals) {
    if (!residual.participates) continue;
    const double size = std::fabs(value(residual));
    sumOfSquares += size * size;
    if (count++ == 0 || size > summary.largest) {
      summary.largest = size;
      summary.largestName = residual.name;
    }
  }
  if (count > 0) summary.rms = std::sqrt(sumOfSquares / static_cast<double>(count));
  summary.redundancy = std::max(0L, observations - unknowns);
  return summary;
}

// The standardized residuals of the participating points (the plane
// adjustment holds two rows a point, the height fit one), σ0 and the suspect.
void AddStatistics(PlaneFitReport& report, const Adjustment& plane, const Adjustment& height) {
  report.plane.sigma0 = plane.sigma0;
  report.height.sigma0 = height.sigma0;
  std::size_t row = 0;
  double largest = 0;
  for (PlaneResidual& residual : report.points) {
    if (!residual.participates) continue;
    residual.standardized = std::max({std::fabs(plane.Standardized(2 * row)), std::fabs(plane.Standardized(2 * row + 1)),
                                      std::fabs(height.Standardized(row))});
    if (residual.standardized > largest) {
      largest = residual.standardized;
      report.suspectName = residual.name;
    }
    ++row;
  }
}

}  // namespace

PlaneFitReport ReportPlaneFit(const std::vector<PlaneCommonPoint>& points, const FourParams& params,
                              const HeightFit& heightFit, const ResidualTolerance& tolerance) {
  PlaneFitReport report;
  for (const PlaneCommonPoint& point : points) {
    report.points.push_back(ResidualOf(point, params, heightFit, tolerance));
    if (point.participates) ++report.pointCount;
  }
  const auto n = static_cast<long>(report.pointCount);
  report.plane = Summarise(report.points, [](const PlaneResidual& r) { return r.v2D; }, 2 * n, 4);
  report.height = Summarise(report.points, [](const PlaneResidual& r) { return r.vHeight; }, n,
                            static_cast<long>(CoefficientCount(heightFit.model)));
  return report;
}

std::optional<std::vector<PlaneCommonPoint>> PointsOnGridHeights(const CoordSettings& settings,
                                                                 const std::vector<PlaneCommonPoint>& points) {
  const std::optional<CoordinateSystem> side = LocalGridSide(settings);
  if (!side || side->height == HeightSystem::Ellipsoidal) return points;
  // From the same grid with ellipsoidal heights to the side's normal heights.
  CoordinateSystem ellipsoidal = *side;
  ellipsoidal.height = HeightSystem::Ellipsoidal;
  ellipsoidal.geoid.clear();
  ellipsoidal.anomalyFit.reset();
  std::optional<ConversionPlan> plan;
  if (const Refusal refusal = ConversionPlan::Make(ellipsoidal, *side, nullptr, 0, 0, plan)) {
    ShowMessage(MessageText(refusal));
    return std::nullopt;
  }
  std::vector<PlaneCommonPoint> reduced = points;
  for (PlaneCommonPoint& point : reduced) {
    StepPoint values{point.sourceNorth, point.sourceEast, point.sourceHeight};
    if (const Refusal refusal = plan->ConvertValues(values)) {
      ShowMessage(MessageText(refusal) + "\n点名: " + point.name);
      return std::nullopt;
    }
    point.sourceHeight = values[2];
  }
  return reduced;
}

std::optional<LocalGridEstimate> EstimateLocalGrid(const std::vector<PlaneCommonPoint>& points,
                                                   const LocalGridOptions& options) {
  if (points.empty()) {
    ShowMessage("没有公共点,请先导入文件。");
    return std::nullopt;
  }
  std::optional<FourParamsEstimate> plane = EstimateFourParameters(points, options.planeModel);
  if (!plane) return std::nullopt;
  std::optional<HeightFitEstimate> height = FitHeights(points, options.heightModel);
  if (!height) return std::nullopt;
  PlaneFitReport report = ReportPlaneFit(points, plane->params, height->fit, options.tolerance);
  report.plane.redundancy = plane->adjustment.degreesOfFreedom;
  AddStatistics(report, plane->adjustment, height->adjustment);
  return LocalGridEstimate{std::move(*plane), std::move(*height), std::move(report)};
}

}  // namespace tarnwell
