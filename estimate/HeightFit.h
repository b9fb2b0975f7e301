// The height fit of a local grid (engine/LocalGrid.h) by least squares from
// plane common points.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "engine/LocalGrid.h"
#include "estimate/Adjustment.h"
#include "estimate/PlaneCommonPoint.h"

namespace tarnwell {

struct HeightFitEstimate {
  HeightFit fit;
  // σ0·sqrt(qjj) of each coefficient, in its units; 0 beyond the model.
  std::array<double, 6> deviations{};
  // Rows: the participating points in order.
  Adjustment adjustment;
};

// The least-squares fit of `model` to the participating points. Refused,
// with "公共点不足或分布不当,无法计算高程拟合。" shown (and on a second line
// why, see UndeterminedReason), when there are fewer points than
// coefficients, when the plane or quadratic model has no distinct points
// (PointsDistinct), or when the points do not determine the coefficients
// (points on a line for the plane, on a conic such as a circle for the
// quadratic surface).
std::optional<HeightFitEstimate> FitHeights(const std::vector<PlaneCommonPoint>& points, HeightModel model);

}  // namespace tarnwell
