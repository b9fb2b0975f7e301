// Where the plane projections give answers: transverse Mercator within 60°
// of its central meridian both ways, against GeographicLib's exact
// transverse Mercator; no inverse from beyond the images of the poles;
// inverses of the other projections back to a micrometre; and the table's
// figure of an ellipsoid, whatever its name.
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include "engine/PlaneProjection.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/ProjectionCatalogue.h"
#include "tables/TablePaths.h"

namespace tarnwell {
namespace {

constexpr double kMeridian = 117;  // degrees

class ProjectionDomainTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadEllipsoidCatalogue(GetTablePath("ellips.csv"))); }

  // The catalogue's defaults for the key: transverse Mercator on kMeridian,
  // UTM in zone 50 (the same), the azimuthal projections centred at 35°N
  // 105°E.
  static PlaneProjection Make(const std::string& projKey, const std::string& ellipsoid = "WGS84") {
    ProjectionParams record;
    record.projKey = projKey;
    ProjectionDefaults(record);
    if (projKey == "utm") record.zone = 50;
    std::optional<Ellipsoid> figure;
    EXPECT_FALSE(Ellipsoid::FromCatalogue(ellipsoid, figure)) << ellipsoid;
    std::optional<PlaneProjection> made = PlaneProjection::Make(record, *figure);
    EXPECT_TRUE(made) << projKey;
    return *made;
  }
};

double GroundDistance(const GeodeticPoint& a, const GeodeticPoint& b) {
  double metres;
  GeographicLib::Geodesic::WGS84().Inverse(a.latitude, a.longitude, b.latitude, b.longitude, metres);
  return metres;
}

// PROJ's series drifts far from the meridian (at 89.46° its northing is
// 41 000 km astray): beyond 60° a point is refused, forward and back.
TEST_F(ProjectionDomainTest, TransverseMercatorHoldsWithinSixtyDegreesOfItsMeridian) {
  const struct {
    const char* projKey;
    double latitude, offset;  // degrees, the offset from the central meridian
    bool inBand;
  } cases[] = {{"tmerc", 3.54, -89.46, false}, {"tmerc", 0, 59.9, true},    {"tmerc", 30, 60, true},
               {"tmerc", 0, 60.1, false},      {"tmerc", 45, -65, false},   {"tmerc", 10, 75, false},
               {"etmerc", -60, -59.5, true},   {"etmerc", 20, 70, false},   {"utm", 80, 59.5, true},
               {"utm", -40, 62, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.projKey) + " " + std::to_string(c.offset) + "°");
    const double scale = std::string(c.projKey) == "utm" ? 0.9996 : 1;
    const GeographicLib::TransverseMercatorExact exact(6378137, 1 / 298.257223563, scale);
    const PlaneProjection projection = Make(c.projKey);
    const GeodeticPoint point{c.latitude, kMeridian + c.offset, 0};
    PlanePoint truth, plane{1, 2, 3};
    exact.Forward(0, c.latitude, c.offset, truth.east, truth.north);
    truth.east += 500000;
    GeodeticPoint back{1, 2, 3};
    if (!c.inBand) {
      EXPECT_EQ(projection.Forward(point, plane), kConversionFailed);
      EXPECT_EQ(projection.Inverse(truth, back), kConversionFailed);
      EXPECT_EQ(plane.north, 1);
      EXPECT_EQ(back.latitude, 1);
      continue;
    }
    ASSERT_EQ(projection.Forward(point, plane), "");
    EXPECT_NEAR(plane.north, truth.north, 1e-3);
    EXPECT_NEAR(plane.east, truth.east, 1e-3);
    ASSERT_EQ(projection.Inverse(truth, back), "");
    EXPECT_LT(GroundDistance(back, point), 1e-3);
    EXPECT_EQ(projection.Inverse(plane, back), "") << "the forward's own answer goes back";
  }
}

// Past the image of a pole PROJ's inverse starts over: a northing one
// meridian's length north of the equator came back as the equator.
TEST_F(ProjectionDomainTest, NoInverseFromBeyondThePoles) {
  const GeographicLib::TransverseMercatorExact exact(6378137, 1 / 298.257223563, 1);
  double east, quarterMeridian;
  exact.Forward(0, 90, 0, east, quarterMeridian);
  const PlaneProjection projection = Make("tmerc");
  GeodeticPoint back;
  ASSERT_EQ(projection.Inverse({quarterMeridian, 500000, 0}, back), "");
  EXPECT_NEAR(back.latitude, 90, 1e-9);
  for (const double north : {4 * quarterMeridian, 3.5 * quarterMeridian, -4 * quarterMeridian, 3e7, -3e7}) {
    back = {1, 2, 3};
    EXPECT_EQ(projection.Inverse({north, 500000, 0}, back), kConversionFailed) << north;
    EXPECT_EQ(back.latitude, 1);
  }
}

// Near the central meridian of an azimuthal projection is not near its
// centre: every inverse but the transverse Mercator's is confirmed onto the
// forward, and comes back to a micrometre (PROJ's Lambert azimuthal inverse
// alone misses by 1.5 mm here).
TEST_F(ProjectionDomainTest, InversesComeBackToAMicrometre) {
  const GeodeticPoint points[] = {{20.5, 105.5, 0}, {51, 104, 0}, {19, 107, 0}, {72, 106, 0}};
  for (const char* projKey : {"laea", "aeqd", "stere", "sterea", "lcc", "tmerc"}) {
    const PlaneProjection projection = Make(projKey);
    for (const GeodeticPoint& point : points) {
      PlanePoint plane;
      GeodeticPoint back;
      ASSERT_EQ(projection.Forward(point, plane), "") << projKey;
      ASSERT_EQ(projection.Inverse(plane, back), "") << projKey;
      EXPECT_LT(GroundDistance(back, point), 1e-6) << projKey << ' ' << point.latitude;
    }
  }
}

// A row named as one of PROJ's ellipsoids projects on its own figure.
TEST_F(ProjectionDomainTest, AnEllipsoidIsItsFigureWhateverItsName) {
  EllipsoidCatalogue& catalogue = TheEllipsoidCatalogue();
  catalogue.front() = {"WGS84", "6378245", "298.3", "WGS84 with Krassovsky's figure"};
  catalogue.push_back({"sphere", "6378137", "298.257223563", "a user's WGS84"});
  const struct {
    const char* name;
    double semiMajorAxis, inverseFlattening;
  } cases[] = {{"WGS84", 6378245, 298.3}, {"sphere", 6378137, 298.257223563}};
  for (const auto& c : cases) {
    const GeographicLib::TransverseMercatorExact exact(c.semiMajorAxis, 1 / c.inverseFlattening, 1);
    double east, north;
    exact.Forward(kMeridian, 31.5, 121.25, east, north);
    PlanePoint plane;
    ASSERT_EQ(Make("tmerc", c.name).Forward({31.5, 121.25, 0}, plane), "");
    EXPECT_NEAR(plane.north, north, 1e-6) << c.name;
    EXPECT_NEAR(plane.east, 500000 + east, 1e-6) << c.name;
  }
}

}  // namespace
}  // namespace tarnwell
