// How well a four-parameter transformation and a height fit reproduce the
// common points, the excluded ones included.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "estimate/FourParameters.h"
#include "estimate/HeightFit.h"
#include "estimate/PlaneCommonPoint.h"

namespace tarnwell {

// Target minus the source carried over by the estimate, metres.
struct PlaneResidual {
  std::string name;
  bool participates = true;  // false: the estimate did not see this point
  double vNorth = 0, vEast = 0;
  double v2D = 0;  // sqrt(vNorth² + vEast²)
  double vHeight = 0;
};

// One kind of residual over the participating points.
struct ResidualSummary {
  double rms = 0;        // root mean square, metres
  double largest = 0;    // largest absolute value, metres
  std::string largestName;
  long redundancy = 0;   // observations minus unknowns, never negative
};

struct PlaneFitReport {
  std::vector<PlaneResidual> points;  // every point, in the given order
  std::size_t pointCount = 0;         // participating points, n
  ResidualSummary plane;              // of v2D; redundancy 2n − 4
  ResidualSummary height;             // of vHeight; redundancy n − coefficients of the model
};

PlaneFitReport ReportPlaneFit(const std::vector<PlaneCommonPoint>& points, const FourParams& params,
                              const HeightFit& heightFit);

// The transformation from a projection's grid to a local grid.
struct LocalGridEstimate {
  FourParams params;
  HeightFit heightFit;
  PlaneFitReport report;
};

// The four parameters and the height fit of `model` from the participating
// points, with the residuals of every point. nullopt, with its message shown,
// when there are no points at all ("没有公共点,请先导入文件。") or either
// estimate is refused.
std::optional<LocalGridEstimate> EstimateLocalGrid(const std::vector<PlaneCommonPoint>& points, HeightModel model);

}  // namespace tarnwell
