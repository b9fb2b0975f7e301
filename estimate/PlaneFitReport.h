// How well a four-parameter transformation and a height fit reproduce the
// common points, the excluded ones included.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"
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
  // The largest of the plane and height residuals each divided by its
  // standard deviation σ0·sqrt(r); 0 for a point kept out.
  double standardized = 0;
  bool flagged = false;  // v2D beyond the horizontal or |vHeight| beyond the vertical tolerance
};

// One kind of residual over the participating points.
struct ResidualSummary {
  double rms = 0;        // root mean square, metres
  double largest = 0;    // largest absolute value, metres
  std::string largestName;
  long redundancy = 0;   // observations minus unknowns, never negative: the degrees of freedom
  double sigma0 = 0;     // a-posteriori σ0, metres; 0 without redundancy
};

struct PlaneFitReport {
  std::vector<PlaneResidual> points;  // every point, in the given order
  std::size_t pointCount = 0;         // participating points, n
  ResidualSummary plane;              // of v2D; redundancy 2n − 4
  ResidualSummary height;             // of vHeight; redundancy n − coefficients of the model
  std::string suspectName;            // the largest standardized residual; empty without redundancy
};

// The residuals of every point and their flags against `tolerance`; the
// summaries without σ0 or standardized residuals, which need the estimates.
PlaneFitReport ReportPlaneFit(const std::vector<PlaneCommonPoint>& points, const FourParams& params,
                              const HeightFit& heightFit, const ResidualTolerance& tolerance = {});

// The transformation from a projection's grid to a local grid.
struct LocalGridEstimate {
  FourParamsEstimate plane;
  HeightFitEstimate height;
  PlaneFitReport report;
};

// What a local grid is estimated with.
struct LocalGridOptions {
  PlaneModel planeModel = PlaneModel::Full;
  HeightModel heightModel = HeightModel::Constant;
  ResidualTolerance tolerance;
};

// The points with their source heights as the conversion carries them on
// the grid of the local grid's side (LocalGridSide). The files give the
// GNSS ellipsoidal height h; where that side has normal heights the
// conversion reaches the local grid through H = h − N − r (the geoid model
// and the anomaly fit at the point's B, L), so the height fit must be of
// h2 − H: what the model leaves. Unchanged where the side has ellipsoidal
// heights or neither side is "Plan". nullopt, with the message shown (and
// the point named where the model refuses one), when the side cannot
// convert.
std::optional<std::vector<PlaneCommonPoint>> PointsOnGridHeights(const CoordSettings& settings,
                                                                 const std::vector<PlaneCommonPoint>& points);

// The plane parameters and the height fit from the participating points,
// with the residuals of every point. nullopt, with its message shown, when
// there are no points at all ("没有公共点,请先导入文件。") or either
// estimate is refused.
std::optional<LocalGridEstimate> EstimateLocalGrid(const std::vector<PlaneCommonPoint>& points,
                                                   const LocalGridOptions& options);

}  // namespace tarnwell
