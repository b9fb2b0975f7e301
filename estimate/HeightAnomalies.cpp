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
                                                  std::optional<HeightModel> model,
                                                  const ResidualTolerance& tolerance) {
  AnomalyEstimate estimate;
  estimate.fit = OriginOf(points);
  std::vector<PlaneCommonPoint> plane;
  if (!AnomalyPoints(points, geoid, estimate.fit, plane)) return std::nullopt;
  estimate.pointCount = static_cast<std::size_t>(
      std::count_if(points.begin(), points.end(), [](const auto& p) { return p.participates; }));
  std::optional<HeightFitEstimate> fitted = FitHeights(plane, model.value_or(AutomaticHeightModel(estimate.pointCount)));
  if (!fitted) return std::nullopt;
  const HeightFit& surface = fitted->fit;
  const Adjustment& adjustment = fitted->adjustment;
  estimate.fit.surface = surface;
  estimate.deviations = fitted->deviations;
  estimate.redundancy = adjustment.degreesOfFreedom;
  estimate.sigma0 = adjustment.sigma0;

  double sumOfSquares = 0, largestStandardized = 0;
  std::size_t row = 0;  // of the adjustment: the participating points in order
  for (const PlaneCommonPoint& point : plane) {
    AnomalyResidual residual{point.name, point.participates, point.targetHeight,
                             point.targetHeight - surface.Offset(point.sourceNorth, point.sourceEast)};
    residual.flagged = std::fabs(residual.residual) > tolerance.vertical;
    if (point.participates) {
      residual.standardized = std::fabs(adjustment.Standardized(row++));
      sumOfSquares += residual.residual * residual.residual;
      if (std::fabs(residual.residual) >= estimate.largest) {
        estimate.largest = std::fabs(residual.residual);
        estimate.largestName = point.name;
      }
      if (residual.standardized > largestStandardized) {
        largestStandardized = residual.standardized;
        estimate.suspectName = point.name;
      }
    }
    estimate.residuals.push_back(std::move(residual));
  }
  estimate.rms = std::sqrt(sumOfSquares / static_cast<double>(estimate.pointCount));
  return estimate;
}

}  // namespace tarnwell
