#include "estimate/PlaneFitReport.h"

#include <algorithm>
#include <cmath>

#include "engine/Messages.h"

namespace tarnwell {
namespace {

PlaneResidual ResidualOf(const PlaneCommonPoint& point, const FourParams& params, const HeightFit& heightFit) {
  double north = point.sourceNorth, east = point.sourceEast;
  params.Apply(north, east);
  PlaneResidual residual;
  residual.name = point.name;
  residual.participates = point.participates;
  residual.vNorth = point.targetNorth - north;
  residual.vEast = point.targetEast - east;
  residual.v2D = std::hypot(residual.vNorth, residual.vEast);
  residual.vHeight = point.targetHeight - heightFit.Apply(point.sourceNorth, point.sourceEast, point.sourceHeight);
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

}  // namespace

PlaneFitReport ReportPlaneFit(const std::vector<PlaneCommonPoint>& points, const FourParams& params,
                              const HeightFit& heightFit) {
  PlaneFitReport report;
  for (const PlaneCommonPoint& point : points) {
    report.points.push_back(ResidualOf(point, params, heightFit));
    if (point.participates) ++report.pointCount;
  }
  const auto n = static_cast<long>(report.pointCount);
  report.plane = Summarise(report.points, [](const PlaneResidual& r) { return r.v2D; }, 2 * n, 4);
  report.height = Summarise(report.points, [](const PlaneResidual& r) { return r.vHeight; }, n,
                            static_cast<long>(CoefficientCount(heightFit.model)));
  return report;
}

std::optional<LocalGridEstimate> EstimateLocalGrid(const std::vector<PlaneCommonPoint>& points, HeightModel model) {
  if (points.empty()) {
    ShowMessage("没有公共点,请先导入文件。");
    return std::nullopt;
  }
  const std::optional<FourParams> params = EstimateFourParameters(points);
  if (!params) return std::nullopt;
  const std::optional<HeightFit> heightFit = FitHeights(points, model);
  if (!heightFit) return std::nullopt;
  return LocalGridEstimate{*params, *heightFit, ReportPlaneFit(points, *params, *heightFit)};
}

}  // namespace tarnwell
