#include "estimate/FourParameters.h"

#include <cmath>
#include <numbers>

#include "engine/Messages.h"

namespace tarnwell {
namespace {

constexpr double kArcSecondsPerRadian = 180 * 3600 / std::numbers::pi;
constexpr double kPpm = 1e6;

// The linear form of the rotation and scale: a = (1 + m) cos α, b = (1 + m) sin α.
struct ScaledRotation {
  double a = 1, b = 0;
};

// With the source reduced to its centroid the normal equations fall apart:
// the translation at the centroid is the mean of the targets, and a, b are
// two sums over the reduced coordinates divided by their sum of squares
// (which PointsDistinct has kept away from zero).
ScaledRotation SolveScaledRotation(const std::vector<PlaneCommonPoint>& points, const PlaneSpread& spread,
                                   const PlanePosition& targetCentroid) {
  double sumOfSquares = 0, sumA = 0, sumB = 0;
  for (const PlaneCommonPoint& point : points) {
    if (!point.participates) continue;
    const double u = point.sourceNorth - spread.centroid.north;
    const double v = point.sourceEast - spread.centroid.east;
    const double targetU = point.targetNorth - targetCentroid.north;
    const double targetV = point.targetEast - targetCentroid.east;
    sumOfSquares += u * u + v * v;
    sumA += u * targetU + v * targetV;
    sumB += u * targetV - v * targetU;
  }
  return {sumA / sumOfSquares, sumB / sumOfSquares};
}

}  // namespace




std::optional<FourParams> EstimateFourParameters(const std::vector<PlaneCommonPoint>& points) {
  const PlaneSpread spread = SourceSpread(points);
  std::optional<FourParams> params;
  if (PointsDistinct(spread)) {
    const PlanePosition targetCentroid = TargetCentroid(points);
    const auto [a, b] = SolveScaledRotation(points, spread, targetCentroid);
    // Carry the translation from the centroid back to the grid origin.
    params.emplace();
    params->dNorth = targetCentroid.north - (a * spread.centroid.north - b * spread.centroid.east);
    params->dEast = targetCentroid.east - (b * spread.centroid.north + a * spread.centroid.east);
    params->rotationArcSeconds = std::atan2(b, a) * kArcSecondsPerRadian;
    params->scalePpm = (std::hypot(a, b) - 1) * kPpm;
  }
  if (!params || !IsUsable(*params)) {
    ShowMessage("公共点不足或分布不当,无法计算四参数。");
    return std::nullopt;
  }
  return params;
}

}  // namespace tarnwell
