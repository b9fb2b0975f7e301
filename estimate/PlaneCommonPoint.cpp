#include "estimate/PlaneCommonPoint.h"

#include <algorithm>
#include <cmath>

namespace tarnwell {
namespace {

// Mean of the chosen position of the participating points; (0, 0) for none.
template <typename Position>
PlanePosition ParticipatingMean(const std::vector<PlaneCommonPoint>& points, Position position) {
  PlanePosition sum;
  std::size_t count = 0;
  for (const PlaneCommonPoint& point : points) {
    if (!point.participates) continue;
    const PlanePosition p = position(point);
    sum.north += p.north;
    sum.east += p.east;
    ++count;
  }
  if (count == 0) return sum;
  return {sum.north / static_cast<double>(count), sum.east / static_cast<double>(count)};
}

}  // namespace

PlaneSpread SourceSpread(const std::vector<PlaneCommonPoint>& points) {
  PlaneSpread spread;
  spread.centroid = ParticipatingMean(points, [](const PlaneCommonPoint& p) {
    return PlanePosition{p.sourceNorth, p.sourceEast};
  });
  double sumOfSquares = 0;
  for (const PlaneCommonPoint& point : points) {
    if (!point.participates) continue;
    const double dNorth = point.sourceNorth - spread.centroid.north;
    const double dEast = point.sourceEast - spread.centroid.east;
    sumOfSquares += dNorth * dNorth + dEast * dEast;
    ++spread.count;
  }
  if (spread.count > 0) spread.radius = std::sqrt(sumOfSquares / static_cast<double>(spread.count));
  return spread;
}

PlanePosition TargetCentroid(const std::vector<PlaneCommonPoint>& points) {
  return ParticipatingMean(points, [](const PlaneCommonPoint& p) {
    return PlanePosition{p.targetNorth, p.targetEast};
  });
}

bool PointsDistinct(const PlaneSpread& spread) {
  const double magnitude = std::max(std::fabs(spread.centroid.north), std::fabs(spread.centroid.east));
  // Written so that a NaN anywhere fails; a radius of 0 at the origin fails too.
  return spread.count >= 2 && spread.radius > kDistinctRadiusRelative * magnitude;
}

}  // namespace tarnwell
