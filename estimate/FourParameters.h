// The four parameters of a local grid (engine/LocalGrid.h) by least squares
// from plane common points.
#pragma once

#include <optional>
#include <vector>

#include "engine/LocalGrid.h"
#include "estimate/Adjustment.h"
#include "estimate/PlaneCommonPoint.h"

namespace tarnwell {

// What the plane transformation may change.
enum class PlaneModel {
  Full,        // shift, rotation and scale
  FixedScale,  // shift and rotation, the scale held at 0
  ShiftOnly,   // 单点校正: the shift alone, from one point or the mean of several
};

inline constexpr Keyword<PlaneModel> kPlaneModels[] = {
    {"full", PlaneModel::Full}, {"fixed-scale", PlaneModel::FixedScale}, {"shift", PlaneModel::ShiftOnly}};

struct FourParamsEstimate {
  FourParams params;
  // σ0·sqrt(qjj) of each parameter in its units (m, ″, ppm); those the
  // model holds fixed are 0. The shifts are those at the grid's origin.
  FourParams deviations;
  // Rows: the north, then the east equation of each participating point.
  Adjustment adjustment;
};

// The least-squares parameters of `model` from the participating points.
// Refused, with "公共点不足或分布不当,无法计算四参数。" shown (and on a
// second line why, see UndeterminedReason), unless the points determine
// them: for a rotation at least two of them lie apart (PointsDistinct).
std::optional<FourParamsEstimate> EstimateFourParameters(const std::vector<PlaneCommonPoint>& points,
                                                         PlaneModel model = PlaneModel::Full);

}  // namespace tarnwell
