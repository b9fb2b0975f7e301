// The four parameters of a local grid (engine/LocalGrid.h) by least squares
// from plane common points.
#pragma once

#include <optional>
#include <vector>

#include "engine/LocalGrid.h"
#include "estimate/PlaneCommonPoint.h"

namespace tarnwell {



// The least-squares four parameters from the participating points. Refused,
// with "公共点不足或分布不当,无法计算四参数。" shown, unless at least two of
// them lie apart (PointsDistinct).
std::optional<FourParams> EstimateFourParameters(const std::vector<PlaneCommonPoint>& points);

}  // namespace tarnwell
