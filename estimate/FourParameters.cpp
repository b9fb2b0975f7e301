#include "estimate/FourParameters.h"

#include <cmath>
#include <string>

#include "engine/Messages.h"
#include "engine/Units.h"

namespace tarnwell {
namespace {

const std::string kPoorlySpread = "公共点不足或分布不当,无法计算四参数。";

// The linear form of the rotation and scale: a = (1 + m) cos α, b = (1 + m) sin α.
struct ScaledRotation {
  double a = 1, b = 0;
};

// With the source reduced to its centroid the normal equations fall apart:
// the translation at the centroid is the mean of the targets, and a, b are
// two sums over the reduced coordinates divided by their sum of squares
// (which PointsDistinct has kept away from zero). A fixed scale takes the
// direction of (a, b) alone; a shift keeps a = 1, b = 0.
ScaledRotation SolveScaledRotation(const std::vector<PlaneCommonPoint>& points, const PlaneSpread& spread,
                                   const PlanePosition& targetCentroid, PlaneModel model) {
  if (model == PlaneModel::ShiftOnly) return {};
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
  if (model == PlaneModel::FixedScale) {
    const double length = std::hypot(sumA, sumB);
    return {sumA / length, sumB / length};
  }
  return {sumA / sumOfSquares, sumB / sumOfSquares};
}

// How a unit of each rotation-and-scale unknown changes (a, b): for the full
// model a and b themselves, for a fixed scale the angle, each as its effect
// at the radius R.
struct Direction {
  double da, db;
};

std::vector<Direction> Directions(PlaneModel model, const ScaledRotation& rotation, double radius) {
  switch (model) {
    case PlaneModel::Full:
      return {{1 / radius, 0}, {0, 1 / radius}};
    case PlaneModel::FixedScale:
      return {{-rotation.b / radius, rotation.a / radius}};
    case PlaneModel::ShiftOnly:
      break;
  }
  return {};
}

// The observation equations linearised at the closed-form optimum: the
// shifts at the centroid, then the directions. At the optimum their
// solution vanishes to rounding; the adjustment gives the precision.
ObservationEquations LinearisedEquations(const std::vector<PlaneCommonPoint>& points, const PlaneSpread& spread,
                                         const PlanePosition& targetCentroid, const ScaledRotation& rotation,
                                         const std::vector<Direction>& directions) {
  ObservationEquations equations(2 + directions.size());
  for (const PlaneCommonPoint& point : points) {
    if (!point.participates) continue;
    const double u = point.sourceNorth - spread.centroid.north;
    const double v = point.sourceEast - spread.centroid.east;
    std::vector<double> north = {1, 0}, east = {0, 1};
    for (const Direction& d : directions) {
      north.push_back(d.da * u - d.db * v);
      east.push_back(d.db * u + d.da * v);
    }
    equations.Add(north, point.targetNorth - targetCentroid.north - (rotation.a * u - rotation.b * v));
    equations.Add(east, point.targetEast - targetCentroid.east - (rotation.b * u + rotation.a * v));
  }
  return equations;
}

std::vector<UnknownColumn> Columns(PlaneModel model) {
  std::vector<UnknownColumn> columns = {{"平移 ΔX", 0}, {"平移 ΔY", 0}};
  if (model == PlaneModel::Full) columns.insert(columns.end(), {{"尺度", 1}, {"旋转", 1, true}});
  if (model == PlaneModel::FixedScale) columns.push_back({"旋转", 1, true});
  return columns;
}

// The parameters' deviations through their gradients over the unknowns:
// ΔX = x̄' − (a·x̄ − b·ȳ), ΔY = ȳ' − (b·x̄ + a·ȳ), α = atan2(b, a),
// m = hypot(a, b) − 1.
FourParams Deviations(const Adjustment& adjustment, const PlaneSpread& spread, const ScaledRotation& rotation,
                      const std::vector<Direction>& directions) {
  const auto [x0, y0] = spread.centroid;
  const double rho = std::hypot(rotation.a, rotation.b);
  std::vector<double> north = {1, 0}, east = {0, 1}, angle = {0, 0}, scale = {0, 0};
  for (const Direction& d : directions) {
    north.push_back(-(d.da * x0 - d.db * y0));
    east.push_back(-(d.db * x0 + d.da * y0));
    angle.push_back(kArcSecondsPerRadian * (rotation.a * d.db - rotation.b * d.da) / (rho * rho));
    scale.push_back(kPpm * (rotation.a * d.da + rotation.b * d.db) / rho);
  }
  FourParams deviations;
  deviations.dNorth = adjustment.StandardDeviation(north);
  deviations.dEast = adjustment.StandardDeviation(east);
  deviations.rotationArcSeconds = adjustment.StandardDeviation(angle);
  deviations.scalePpm = adjustment.StandardDeviation(scale);
  return deviations;
}

std::optional<FourParamsEstimate> TryEstimate(const std::vector<PlaneCommonPoint>& points, PlaneModel model,
                                              std::string& why) {
  const PlaneSpread spread = SourceSpread(points);
  if (spread.count == 0 || (model != PlaneModel::ShiftOnly && !PointsDistinct(spread))) return std::nullopt;
  const PlanePosition targetCentroid = TargetCentroid(points);
  const ScaledRotation rotation = SolveScaledRotation(points, spread, targetCentroid, model);
  const std::vector<Direction> directions = Directions(model, rotation, spread.radius);
  std::optional<Adjustment> adjustment =
      Adjust(LinearisedEquations(points, spread, targetCentroid, rotation, directions));
  if (!adjustment) return std::nullopt;
  why = UndeterminedReason(*adjustment, Columns(model), spread.radius);
  if (!why.empty()) return std::nullopt;

  FourParamsEstimate estimate;
  const auto [a, b] = rotation;
  // Carry the translation from the centroid back to the grid origin.
  estimate.params.dNorth = targetCentroid.north - (a * spread.centroid.north - b * spread.centroid.east);
  estimate.params.dEast = targetCentroid.east - (b * spread.centroid.north + a * spread.centroid.east);
  estimate.params.rotationArcSeconds = std::atan2(b, a) * kArcSecondsPerRadian;
  estimate.deviations = Deviations(*adjustment, spread, rotation, directions);
  // A held scale is 0 and has no deviation, not values of rounding.
  estimate.params.scalePpm = model == PlaneModel::Full ? (std::hypot(a, b) - 1) * kPpm : 0;
  if (model != PlaneModel::Full) estimate.deviations.scalePpm = 0;
  estimate.adjustment = std::move(*adjustment);
  return estimate;
}

}  // namespace

std::optional<FourParamsEstimate> EstimateFourParameters(const std::vector<PlaneCommonPoint>& points,
                                                         PlaneModel model) {
  std::string why;
  std::optional<FourParamsEstimate> estimate = TryEstimate(points, model, why);
  if (!estimate || !IsUsable(estimate->params)) {
    ShowMessage(why.empty() ? kPoorlySpread : kPoorlySpread + "\n" + why);
    return std::nullopt;
  }
  return estimate;
}

}  // namespace tarnwell
