#include "engine/GridFactors.h"

#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tarnwell {
namespace {

const EllipsoidFigure kCgcs2000 = {6378137, 298.257222101};
constexpr double kArcSecondsPerDegree = 3600;
constexpr double kRadiansPerDegree = M_PI / 180;

ProjectionParams Projection(std::string key, int zoneWidth, int zone) {
  ProjectionParams projection;
  projection.projKey = std::move(key);
  projection.zoneWidth = zoneWidth;
  projection.zone = zone;
  return projection;
}

ProjectionParams AutomaticZones(int zoneWidth) {
  ProjectionParams projection = Projection("tmerc", zoneWidth, 0);
  projection.zonePrefix = projection.autoZone = true;
  return projection;
}

ProjectionParams FreeMeridian(double centralMeridian, double scaleFactor) {
  ProjectionParams projection = Projection("etmerc", 0, 0);
  projection.centralMeridian = centralMeridian;
  projection.scaleFactor = scaleFactor;
  return projection;
}

// γ and k against GeographicLib's exact transverse Mercator (Lee's elliptic
// functions, another road than the series), in the zone the record or the
// point chooses.
TEST(GridFactors, TransverseMercatorMatchesTheExactProjection) {
  const struct {
    ProjectionParams projection;
    GeodeticPoint point;
    double centralMeridian, scaleFactor;  // of the zone the factors are taken in
  } cases[] = {
      {Projection("tmerc", 3, 39), {31.2, 118.3, 45}, 117, 1},
      {Projection("tmerc", 3, 39), {-33.9, 115.2, 0}, 117, 1},
      {AutomaticZones(3), {45.7, 126.6, 150}, 126, 1},
      {AutomaticZones(6), {22.3, 114.17, 0}, 117, 1},
      {FreeMeridian(111, 0.9999), {30, 113.5, 0}, 111, 0.9999},
      {Projection("utm", 0, 50), {31, 119, 0}, 117, 0.9996},
  };
  for (const auto& [projection, point, centralMeridian, scaleFactor] : cases) {
    const std::optional<GridFactors> factors = GridFactorsAt(projection, kCgcs2000, point);
    ASSERT_TRUE(factors) << projection.projKey << " " << point.latitude;
    const GeographicLib::TransverseMercatorExact exact(kCgcs2000.semiMajorAxis, kCgcs2000.Flattening(), scaleFactor);
    double east, north, gamma, k;
    exact.Forward(centralMeridian, point.latitude, point.longitude, east, north, gamma, k);
    EXPECT_NEAR(factors->pointScale, k, 1e-9) << point.latitude;
    EXPECT_NEAR(factors->convergenceDegrees * kArcSecondsPerDegree, gamma * kArcSecondsPerDegree, 0.001)
        << point.latitude;
  }
}

// PROJ's factors for the other projections, against closed forms: on
// Mercator k = √(1 − e² sin²B) / cos B and γ = 0; on a Lambert cone tangent
// at 30° (n = sin 30°) γ = n ΔL and k = 1 on the standard parallel.
TEST(GridFactors, OtherProjectionsTakePROJsFactors) {
  ProjectionParams mercator = Projection("merc", 0, 0);
  mercator.centralMeridian = 110;
  ProjectionParams lambert = Projection("lcc", 0, 0);
  lambert.centralMeridian = 110;
  lambert.originLatitude = lambert.latitude1 = lambert.latitude2 = 30;
  const double e2 = kCgcs2000.Flattening() * (2 - kCgcs2000.Flattening()), sine = std::sin(40 * kRadiansPerDegree);
  const struct {
    ProjectionParams projection;
    GeodeticPoint point;
    double convergenceDegrees, pointScale;
  } cases[] = {
      {mercator, {40, 115, 0}, 0, std::sqrt(1 - e2 * sine * sine) / std::cos(40 * kRadiansPerDegree)},
      {lambert, {30, 112, 0}, 1, 1},
      {lambert, {30, 106, 0}, -2, 1},
  };
  for (const auto& [projection, point, convergenceDegrees, pointScale] : cases) {
    const std::optional<GridFactors> factors = GridFactorsAt(projection, kCgcs2000, point);
    ASSERT_TRUE(factors) << projection.projKey;
    EXPECT_NEAR(factors->pointScale, pointScale, 1e-9) << projection.projKey << " " << point.longitude;
    EXPECT_NEAR(factors->convergenceDegrees * kArcSecondsPerDegree, convergenceDegrees * kArcSecondsPerDegree, 0.001)
        << projection.projKey << " " << point.longitude;
  }
}

// On the equator R = √(M N) = a √(1 − e²); the combined factor scales k by
// (R + H) / (R + h), and a projection plane at the point's height leaves k
// alone, taken on the ellipsoid a + H.
TEST(GridFactors, ElevationAndCombinedFactorsUseTheMeanRadius) {
  const double e2 = kCgcs2000.Flattening() * (2 - kCgcs2000.Flattening());
  const double radius = kCgcs2000.semiMajorAxis * std::sqrt(1 - e2);
  const GeodeticPoint point = {0, 118.5, 1000};
  const std::optional<GridFactors> ground = GridFactorsAt(Projection("tmerc", 3, 39), kCgcs2000, point);
  ASSERT_TRUE(ground);
  EXPECT_NEAR(ground->elevationFactor, radius / (radius + 1000), 1e-15);
  EXPECT_NEAR(ground->combinedFactor, ground->pointScale * radius / (radius + 1000), 1e-15);
  EXPECT_NEAR(ground->distortionMmPerKm, (ground->combinedFactor - 1) * 1e6, 1e-9);

  ProjectionParams raised = Projection("tmerc", 3, 39);
  raised.surfaceHeight = 1000;
  const std::optional<GridFactors> onPlane = GridFactorsAt(raised, kCgcs2000, point);
  ASSERT_TRUE(onPlane);
  EXPECT_EQ(onPlane->elevationFactor, 1);
  const GeographicLib::TransverseMercatorExact enlarged(kCgcs2000.semiMajorAxis + 1000, kCgcs2000.Flattening(), 1);
  double east, north, gamma, k;
  enlarged.Forward(117, point.latitude, point.longitude, east, north, gamma, k);
  EXPECT_NEAR(onPlane->pointScale, k, 1e-12);
}

}  // namespace
}  // namespace tarnwell
