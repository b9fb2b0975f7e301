#include "engine/ConversionStep.h"

#include <cmath>

#include "tables/ProjectionZones.h"

namespace tarnwell {
namespace {

bool AllFinite(const StepPoint& point) {
  return std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]);
}

// The step's result, or a refusal when it is not finite.
Refusal Checked(const StepPoint& point) {
  if (AllFinite(point)) return {};
  return {RefusalReason::ConversionFailed, {}};
}

Refusal ProjectionRefusal(std::string_view message) {
  if (message.empty()) return {};
  return {message == kZoneNumberWrong ? RefusalReason::ZoneNumber : RefusalReason::ConversionFailed, {}};
}

// The zone prefix of a prefixed easting, in metres (0 without a prefix).
double PrefixOf(double east, bool zonePrefix) {
  return zonePrefix ? std::floor(east / kZonePrefixUnit) * kZonePrefixUnit : 0;
}

}  // namespace

Refusal GeocentricStep::Forward(StepPoint& point) const {
  const GeodeticPoint geodetic = ellipsoid_.ToGeodetic({point[0], point[1], point[2]});
  point = {geodetic.latitude, geodetic.longitude, geodetic.height};
  return Checked(point);
}

Refusal GeocentricStep::Inverse(StepPoint& point) const {
  if (!(std::fabs(point[0]) <= 90)) return {RefusalReason::ConversionFailed, LatitudeRangeDetail(point[0])};
  const CartesianPoint cartesian = ellipsoid_.ToCartesian({point[0], point[1], point[2]});
  point = {cartesian.X, cartesian.Y, cartesian.Z};
  return Checked(point);
}

Refusal HeightStep::Separation(const StepPoint& point, double& separation) const {
  double undulation = 0;
  if (model_) {
    if (Refusal refusal = model_->Undulation(point[0], point[1], undulation)) return refusal;
  }
  separation = undulation + (fit_ ? fit_->Anomaly(point[0], point[1]) : 0);
  return {};
}

Refusal HeightStep::Forward(StepPoint& point) const {
  double separation;
  if (Refusal refusal = Separation(point, separation)) return refusal;
  point[2] -= separation;
  return Checked(point);
}

Refusal HeightStep::Inverse(StepPoint& point) const {
  double separation;
  if (Refusal refusal = Separation(point, separation)) return refusal;
  point[2] += separation;
  return Checked(point);
}

Refusal ProjectionStep::Forward(StepPoint& point) const {
  PlanePoint plane;
  const GeodeticPoint geodetic{point[0], point[1], point[2]};
  if (Refusal refusal = ProjectionRefusal(projection_.Forward(geodetic, plane))) {
    refusal.detail = projection_.ForwardRefusalDetail(geodetic);
    return refusal;
  }
  point = {plane.north, plane.east, plane.height};
  return Checked(point);
}

Refusal ProjectionStep::Inverse(StepPoint& point) const {
  GeodeticPoint geodetic;
  const PlanePoint plane{point[0], point[1], point[2]};
  if (Refusal refusal = ProjectionRefusal(projection_.Inverse(plane, geodetic))) {
    refusal.detail = projection_.InverseRefusalDetail(plane);
    return refusal;
  }
  point = {geodetic.latitude, geodetic.longitude, geodetic.height};
  return Checked(point);
}

Refusal LocalGridStep::Forward(StepPoint& point) const {
  auto& [north, east, height] = point;
  const double prefix = PrefixOf(east, zonePrefix_);
  east -= prefix;
  height = grid_.heightFit.Apply(north, east, height);
  grid_.fourParams.Apply(north, east);
  east += prefix;
  return Checked(point);
}

Refusal LocalGridStep::Inverse(StepPoint& point) const {
  auto& [north, east, height] = point;
  const double prefix = PrefixOf(east, zonePrefix_);
  east -= prefix;
  grid_.fourParams.Inverse(north, east);
  height = grid_.heightFit.Inverse(north, east, height);
  east += prefix;
  return Checked(point);
}

Refusal DatumShiftStep::Forward(StepPoint& point) const {
  const CartesianPoint shifted = ApplyBursaWolf(params_, convention_, {point[0], point[1], point[2]});
  point = {shifted.X, shifted.Y, shifted.Z};
  return Checked(point);
}

Refusal DatumShiftStep::Inverse(StepPoint& point) const {
  const CartesianPoint shifted = InverseBursaWolf(params_, convention_, {point[0], point[1], point[2]});
  point = {shifted.X, shifted.Y, shifted.Z};
  return Checked(point);
}

}  // namespace tarnwell
