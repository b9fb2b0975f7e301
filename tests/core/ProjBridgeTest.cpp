#include "engine/ProjBridge.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarnwell {
namespace {

std::string Definition(const ProjectionParams& projection) {
  std::string definition;
  EXPECT_TRUE(AppendProjDefinition(definition, projection));
  return definition;
}

// Transverse Mercator and Mercator keep the definitions they always had,
// now chosen by their key wherever they stand in the list.
TEST(AppendProjDefinition, KeepsTheDefinitionsOfTransverseMercatorAndMercator) {
  ProjectionParams projection;
  const std::string transverseMercator =
      "+proj=tmerc +lat_0=0 +lon_0=120 +x_0=500000 +y_0=0 +k=1 +units=m";
  EXPECT_EQ(Definition(projection), transverseMercator);
  projection.listIndex = 0;
  EXPECT_EQ(Definition(projection), transverseMercator);

  projection.projKey = "merc";
  projection.listIndex = 70;
  projection.originLatitude = 39.000;
  projection.scaleFactor = std::nullopt;
  EXPECT_EQ(Definition(projection), "+proj=merc +lat_ts=39 +lon_0=120 +x_0=500000 +y_0=0 +units=m");
}

// A parameter the projection uses must have a finite value. Any other
// projection is refused, never replaced.
TEST(AppendProjDefinition, RefusesWhatItCannotComputeAsItSays) {
  const auto refused = [](const ProjectionParams& projection) {
    std::string definition;
    return !AppendProjDefinition(definition, projection);
  };
  for (const std::optional<double> value : {std::optional<double>(), std::optional<double>(std::nan("")),
                                            std::optional<double>(HUGE_VAL)}) {
    ProjectionParams projection;
    projection.centralMeridian = value;
    EXPECT_TRUE(refused(projection));
    projection.centralMeridian = 105;
    projection.projKey = "lcc";
    projection.latitude1 = 25;
    projection.latitude2 = value;
    EXPECT_TRUE(refused(projection));
  }
  ProjectionParams mercator;
  mercator.projKey = "merc";
  mercator.scaleFactor = std::nullopt;  // not used by Mercator
  EXPECT_FALSE(refused(mercator));

  ProjectionParams other;
  for (const char* key : {"aitoff", "robin", "Tmerc", "", "nosuchprojection"}) {
    other.projKey = key;
    EXPECT_TRUE(refused(other)) << key;
  }
  ProjectionParams zoned;
  zoned.zoneWidth = 6;
  EXPECT_TRUE(refused(zoned)) << "a zone width without a zone";
  zoned.zone = 61;
  EXPECT_TRUE(refused(zoned)) << "no such zone";
  zoned.zone = 20;
  zoned.projKey = "lcc";
  EXPECT_TRUE(refused(zoned)) << "a conic has no Gauss-Krüger zones";
}

TEST(AppendProjEllipsoid, GivesTheFigure) {
  std::string definition;
  AppendProjEllipsoid(definition, {6378245, 298.3});
  EXPECT_EQ(definition, " +a=6378245 +rf=298.3");
  definition.clear();
  AppendProjEllipsoid(definition, {6378137, 298.257222101});
  EXPECT_EQ(definition, " +a=6378137 +rf=298.257222101");
  definition.clear();
  AppendProjEllipsoid(definition, {6371000, 0});
  EXPECT_EQ(definition, " +R=6371000");
}

// The projection plane H metres above the ellipsoid: a + H, the same 1/f.
TEST(AppendProjEllipsoid, PlaneHeightEnlargesTheAxis) {
  std::string definition;
  AppendProjEllipsoid(definition, {6378137, 298.257223563}, 1000);
  EXPECT_EQ(definition, " +a=6379137 +rf=298.257223563");
  definition.clear();
  AppendProjEllipsoid(definition, {6378137, 298.257222101}, -25.5);
  EXPECT_EQ(definition, " +a=6378111.5 +rf=298.257222101");
  definition.clear();
  AppendProjEllipsoid(definition, {6371000, 0}, 500);
  EXPECT_EQ(definition, " +R=6371500");
}

TEST(MapProjection, PutsTheCentralMeridianAtTheFalseEasting) {
  const auto projection = MapProjection::FromDefinition(Definition(ProjectionParams{}) + " +ellps=WGS84");
  ASSERT_TRUE(projection);
  PlanePoint plane;
  ASSERT_TRUE(projection->Forward({0, 120, 12.5}, plane));
  EXPECT_NEAR(plane.north, 0, 1e-9);
  EXPECT_NEAR(plane.east, 500000, 1e-9);
  EXPECT_EQ(plane.height, 12.5);
}

TEST(MapProjection, RoundTripsAndCopiesWorkOnTheirOwn) {
  const auto projection = MapProjection::FromDefinition(Definition(ProjectionParams{}) + " +ellps=WGS84");
  ASSERT_TRUE(projection);
  const MapProjection copy = *projection;
  EXPECT_EQ(copy.definition(), projection->definition());
  PlanePoint plane;
  GeodeticPoint back;
  ASSERT_TRUE(copy.Forward({31.5, 121.25, 10}, plane));
  ASSERT_TRUE(projection->Inverse(plane, back));
  EXPECT_NEAR(back.latitude, 31.5, 1e-12);
  EXPECT_NEAR(back.longitude, 121.25, 1e-12);
}

TEST(MapProjection, RefusesADefinitionPROJRefuses) {
  EXPECT_FALSE(MapProjection::FromDefinition("+proj=nosuchprojection +ellps=WGS84"));
  EXPECT_FALSE(MapProjection::FromDefinition("+proj=tmerc +ellps=NoSuchEllipsoid"));
}

TEST(MapProjection, GivesNoResultWhereThereIsNone) {
  const auto mercator = MapProjection::FromDefinition("+proj=merc +ellps=WGS84");
  ASSERT_TRUE(mercator);
  PlanePoint plane{1, 2, 3};
  EXPECT_FALSE(mercator->Forward({100, 120, 0}, plane));  // no such latitude
  EXPECT_EQ(plane.north, 1);
}

}  // namespace
}  // namespace tarnwell
