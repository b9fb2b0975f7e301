// What the plane projections are computed on: the table's figure of an
// ellipsoid, whatever its name.
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
    std::optional<PlaneProjection> made = PlaneProjection::Make(record, *Ellipsoid::FromCatalogue(ellipsoid));
    EXPECT_TRUE(made) << projKey;
    return *made;
  }
};

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
