// Height fitting: the height difference Δh = h2 − h between the target and
// the source height system, modelled over the common points as a surface in
// the source grid position, reduced to the centroid (dx = x − x̄, dy = y − ȳ):
//   constant   Δh = a0
//   plane      Δh = a0 + a1·dx + a2·dy
//   quadratic  Δh = a0 + a1·dx + a2·dy + a3·dx² + a4·dx·dy + a5·dy²
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "estimate/PlaneCommonPoint.h"

namespace tarnwell {

enum class HeightModel { Constant, Plane, Quadratic };

// 1, 3 or 6: the coefficients of the model, and the points it needs at least.
std::size_t CoefficientCount(HeightModel model);

struct HeightFit {
  HeightModel model = HeightModel::Constant;
  PlanePosition centroid;  // x̄, ȳ: of the source positions the fit was made from
  // a0 in metres, a1, a2 in metres per metre, a3, a4, a5 in metres per
  // square metre; those beyond the model are 0.
  std::array<double, 6> coefficients{};

  // Δh at a source grid position (metres).
  double Offset(double north, double east) const;
  // The target height of a point at a source grid position.
  double Apply(double north, double east, double height) const { return height + Offset(north, east); }
  // The source height back from the target height, at the same source grid
  // position (a target position goes through FourParams::Inverse first).
  double Inverse(double north, double east, double targetHeight) const {
    return targetHeight - Offset(north, east);
  }

  bool operator==(const HeightFit&) const = default;
};

// True when the centroid and every coefficient are finite numbers.
bool IsUsable(const HeightFit& fit);

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
