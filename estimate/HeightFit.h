// The height fit of a local grid (engine/LocalGrid.h) by least squares from
// plane common points.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "engine/LocalGrid.h"
#include "estimate/PlaneCommonPoint.h"

namespace tarnwell {




// Below this share of the largest singular value of the (centred, scaled)
// design matrix a singular value counts as zero: the points cannot tell
// the model's terms apart.
constexpr double kRankTolerance = 1e-9;

// The least-squares fit of `model` to the participating points. Refused,
// with "公共点不足或分布不当,无法计算高程拟合。" shown, when there are fewer
// points than coefficients, when the plane or quadratic model has no
// distinct points (PointsDistinct), or when the design matrix is rank
// deficient against kRankTolerance (points on a line for the plane, on a
// conic such as a circle for the quadratic surface).
std::optional<HeightFit> FitHeights(const std::vector<PlaneCommonPoint>& points, HeightModel model);

}  // namespace tarnwell
