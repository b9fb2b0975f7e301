#include "estimate/HeightAnomalies.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/Messages.h"
#include "estimate/CommonPointFile.h"
#include "estimate/HeightFit.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

// One line name,B,L,h,H; the empty text when it reads, else its message.
std::string ReadLevelledPoint(std::string_view line, AngleFormat format, LevelledPoint& point) {
  std::array<std::string_view, 5> fields;
  if (!SplitExactly(line, ',', fields)) return std::string(kBadCommonPointLine);
  GeodeticPoint geodetic;
  if (!ReadGeodeticPoint(fields[1], fields[2], fields[3], format, geodetic) ||
      !ReadNumber(fields[4], point.normalHeight))
    return MessageText({RefusalReason::Format, {}});
  point.name = fields[0];
  point.latitude = geodetic.latitude;
  point.longitude = geodetic.longitude;
  point.ellipsoidalHeight = geodetic.height;
  return {};
}

// The origin of the local plane: the mean B, L of the participating points.
AnomalyFit OriginOf(const std::vector<LevelledPoint>& points) {
  AnomalyFit fit;
  std::size_t count = 0;
  for (const LevelledPoint& point : points) {
    if (!point.participates) continue;
    fit.originLatitude += point.latitude;
    fit.originLongitude += point.longitude;
    ++count;
  }
  if (count > 0) {
    fit.originLatitude /= static_cast<double>(count);
    fit.originLongitude /= static_cast<double>(count);
  }
  return fit;
}

// The points in the local plane with r as the height to fit; false, with
// the message shown, where the model has no value.
bool AnomalyPoints(const std::vector<LevelledPoint>& points, const GeoidModel* geoid, const AnomalyFit& origin,
                   std::vector<PlaneCommonPoint>& plane) {
  for (const LevelledPoint& point : points) {
    double undulation = 0;
    if (geoid) {
      if (const Refusal refusal = geoid->Undulation(point.latitude, point.longitude, undulation)) {
        ShowMessage(MessageText(refusal) + "\n点名: " + point.name);
        return false;
      }
    }
    const PlanePosition position = origin.LocalPosition(point.latitude, point.longitude);
    PlaneCommonPoint planePoint;
    planePoint.name = point.name;
    planePoint.sourceNorth = planePoint.targetNorth = position.north;
    planePoint.sourceEast = planePoint.targetEast = position.east;
    planePoint.targetHeight = point.ellipsoidalHeight - point.normalHeight - undulation;
    planePoint.participates = point.participates;
    plane.push_back(std::move(planePoint));
  }
  return true;
}

}  // namespace

bool ImportLevelledPointFile(const std::string& path, AngleFormat format, std::vector<LevelledPoint>& points) {
  std::vector<LevelledPoint> read;
  const bool whole = ReadCommonPointFile(path, [&read, format](std::string_view line) {
    LevelledPoint point;
    std::string refusal = ReadLevelledPoint(line, format, point);
    if (refusal.empty()) read.push_back(std::move(point));
    return refusal;
  });
  if (whole) points.insert(points.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
  return whole;
}

HeightModel AutomaticHeightModel(std::size_t count) {
  if (count <= 2) return HeightModel::Constant;
  if (count <= 5) return HeightModel::Plane;
  return HeightModel::Quadratic;
}

std::optional<AnomalyEstimate> EstimateAnomalyFit(const std::vector<LevelledPoint>& points, const GeoidModel* geoid,
                                                  std::optional<HeightModel> model) {
  AnomalyEstimate estimate;
  estimate.fit = OriginOf(points);
  std::vector<PlaneCommonPoint> plane;
  if (!AnomalyPoints(points, geoid, estimate.fit, plane)) return std::nullopt;
  const std::size_t count = std::count_if(points.begin(), points.end(), [](const auto& p) { return p.participates; });
  const std::optional<HeightFitEstimate> fitted = FitHeights(plane, model.value_or(AutomaticHeightModel(count)));
  if (!fitted) return std::nullopt;
  const HeightFit& surface = fitted->fit;
  estimate.fit.surface = surface;

  double sumOfSquares = 0;
  for (const PlaneCommonPoint& point : plane) {
    const double residual = point.targetHeight - surface.Offset(point.sourceNorth, point.sourceEast);
    estimate.residuals.push_back({point.name, residual});
    if (!point.participates) continue;
    sumOfSquares += residual * residual;
    if (std::fabs(residual) >= estimate.largest) {
      estimate.largest = std::fabs(residual);
      estimate.largestName = point.name;
    }
  }
  estimate.rms = std::sqrt(sumOfSquares / static_cast<double>(count));
  return estimate;
}

}  // namespace tarnwell
