#include "engine/AnomalyFit.h"

#include <cmath>
#include <numbers>

namespace tarnwell {
namespace {

constexpr double kPlaneRadius = 6378137;  // metres
constexpr double kRadiansPerDegree = std::numbers::pi / 180;

}  // namespace

PlanePosition AnomalyFit::LocalPosition(double latitude, double longitude) const {
  const double metresPerDegree = kPlaneRadius * kRadiansPerDegree;
  return {metresPerDegree * (latitude - originLatitude),
          metresPerDegree * (longitude - originLongitude) * std::cos(originLatitude * kRadiansPerDegree)};
}

double AnomalyFit::Anomaly(double latitude, double longitude) const {
  const PlanePosition position = LocalPosition(latitude, longitude);
  return surface.Offset(position.north, position.east);
}

bool IsUsable(const AnomalyFit& fit) {
  return std::isfinite(fit.originLatitude) && std::isfinite(fit.originLongitude) && IsUsable(fit.surface);
}

}  // namespace tarnwell
