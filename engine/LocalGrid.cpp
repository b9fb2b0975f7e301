#include "engine/LocalGrid.h"

#include <cmath>

#include "engine/Units.h"

namespace tarnwell {

bool IsUsable(const FourParams& p) {
  return std::isfinite(p.dNorth) && std::isfinite(p.dEast) && std::isfinite(p.rotationArcSeconds) &&
         std::isfinite(p.scalePpm) && 1 + p.scalePpm / kPpm > 0;
}

void FourParams::Apply(double& north, double& east) const {
  const double angle = rotationArcSeconds / kArcSecondsPerRadian, factor = 1 + scalePpm / kPpm;
  const double sourceNorth = north, sourceEast = east;
  north = dNorth + factor * (sourceNorth * std::cos(angle) - sourceEast * std::sin(angle));
  east = dEast + factor * (sourceNorth * std::sin(angle) + sourceEast * std::cos(angle));
}

void FourParams::Inverse(double& north, double& east) const {
  // Take off the translation, turn back by α, shrink by 1 + m.
  const double angle = rotationArcSeconds / kArcSecondsPerRadian, factor = 1 + scalePpm / kPpm;
  const double shiftedNorth = north - dNorth, shiftedEast = east - dEast;
  north = (shiftedNorth * std::cos(angle) + shiftedEast * std::sin(angle)) / factor;
  east = (shiftedEast * std::cos(angle) - shiftedNorth * std::sin(angle)) / factor;
}

std::size_t CoefficientCount(HeightModel model) {
  switch (model) {
    case HeightModel::Constant: return 1;
    case HeightModel::Plane: return 3;
    case HeightModel::Quadratic: return 6;
  }
  return 6;  // not reached: every model is named above
}

std::array<double, 6> HeightFitTerms(double dx, double dy) { return {1, dx, dy, dx * dx, dx * dy, dy * dy}; }

bool IsUsable(const HeightFit& fit) {
  if (!std::isfinite(fit.centroid.north) || !std::isfinite(fit.centroid.east)) return false;
  for (double coefficient : fit.coefficients) {
    if (!std::isfinite(coefficient)) return false;
  }
  return true;
}

double HeightFit::Offset(double north, double east) const {
  const std::array<double, 6> terms = HeightFitTerms(north - centroid.north, east - centroid.east);
  double offset = 0;
  for (std::size_t j = 0; j < terms.size(); ++j) offset += coefficients[j] * terms[j];
  return offset;
}

}  // namespace tarnwell
