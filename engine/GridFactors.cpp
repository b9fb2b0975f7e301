#include "engine/GridFactors.h"

#include <GeographicLib/TransverseMercator.hpp>

#include <cmath>

#include "engine/ProjBridge.h"
#include "tables/ProjectionZones.h"
#include "tables/SupportedProjections.h"

namespace tarnwell {
namespace {

constexpr double kRadiansPerDegree = M_PI / 180;

// The record with the parameters of the point's zone written in.
ProjectionParams InPointsZone(const ProjectionParams& projection, double longitude) {
  ProjectionParams inZone = projection;
  const std::optional<ZoneSystem> system = ZoneSystemOf(projection);
  if (!system) return inZone;
  inZone.zone = projection.autoZone || projection.zone == 0 ? ZoneOfLongitude(*system, longitude) : projection.zone;
  SetZoneParameters(inZone, *system, inZone.zone);
  return inZone;
}

// γ (degrees) and k of a transverse Mercator record in its zone.
bool TransverseMercatorFactors(const ProjectionParams& inZone, double semiMajorAxis, double flattening,
                               const GeodeticPoint& point, GridFactors& factors) {
  if (!inZone.centralMeridian || !inZone.scaleFactor) return false;
  const GeographicLib::TransverseMercator projection(semiMajorAxis, flattening, *inZone.scaleFactor);
  double east, north;
  projection.Forward(*inZone.centralMeridian, point.latitude, point.longitude, east, north, factors.convergenceDegrees,
                     factors.pointScale);
  return std::isfinite(factors.pointScale);
}

// Gaussian mean radius √(M N) at latitude B, metres.
double MeanRadius(const EllipsoidFigure& figure, double latitude) {
  const double f = figure.Flattening(), e2 = f * (2 - f);
  const double sine = std::sin(latitude * kRadiansPerDegree);
  const double w2 = 1 - e2 * sine * sine;
  return figure.semiMajorAxis * std::sqrt(1 - e2) / w2;
}

}  // namespace

std::optional<GridFactors> GridFactorsAt(const ProjectionParams& projection, const EllipsoidFigure& figure,
                                         const GeodeticPoint& point) {
  if (!FindSupportedProjection(projection.projKey)) return std::nullopt;
  const ProjectionParams inZone = InPointsZone(projection, point.longitude);
  const double planeHeight = projection.surfaceHeight.value_or(0);
  GridFactors factors;
  if (IsTransverseMercator(inZone.projKey)) {
    if (!TransverseMercatorFactors(inZone, figure.semiMajorAxis + planeHeight, figure.Flattening(), point, factors))
      return std::nullopt;
  } else {
    std::string definition;
    if (!AppendProjDefinition(definition, inZone)) return std::nullopt;
    AppendProjEllipsoid(definition, figure, planeHeight);
    const std::optional<MapProjection> map = MapProjection::FromDefinition(definition);
    if (!map || !map->Factors(point, factors.convergenceDegrees, factors.pointScale)) return std::nullopt;
  }
  const double radius = MeanRadius(figure, point.latitude);
  factors.elevationFactor = (radius + planeHeight) / (radius + point.height);
  factors.combinedFactor = factors.pointScale * factors.elevationFactor;
  factors.distortionMmPerKm = (factors.combinedFactor - 1) * 1e6;
  return factors;
}

}  // namespace tarnwell
