#include "estimate/PlaneCommonPoint.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/Refusal.h"
#include "estimate/CommonPointFile.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"

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

// One line name,x,y,h,x2,y2,h2; the empty text when it reads, else its message.
std::string ReadPlaneCommonPoint(std::string_view line, PlaneCommonPoint& point) {
  std::array<std::string_view, 7> fields;
  if (!SplitExactly(line, ',', fields)) return std::string(kBadCommonPointLine);
  double* const values[6] = {&point.sourceNorth, &point.sourceEast, &point.sourceHeight,
                             &point.targetNorth, &point.targetEast, &point.targetHeight};
  for (int i = 0; i < 6; ++i) {
    if (!ReadNumber(fields[i + 1], *values[i])) return MessageText({RefusalReason::Format, {}});
  }
  point.name = fields[0];
  return {};
}

}  // namespace

bool ImportPlaneCommonPointFile(const std::string& path, std::vector<PlaneCommonPoint>& points) {
  std::vector<PlaneCommonPoint> read;
  const bool whole = ReadCommonPointFile(path, [&read](std::string_view line) {
    PlaneCommonPoint point;
    std::string refusal = ReadPlaneCommonPoint(line, point);
    if (refusal.empty()) read.push_back(std::move(point));
    return refusal;
  });
  if (whole) points.insert(points.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
  return whole;
}

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
