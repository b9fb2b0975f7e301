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

TEST(AppendProjDefinition, ChoosesTheFormByListIndex) {
  ProjectionParams projection;
  EXPECT_EQ(Definition(projection),
            "+proj=tmerc +lat_0=0.000 +lon_0=120.000 +x_0=500000.000 +y_0=0.000 +k=1.000 +units=m");

  projection.projKey = "merc";
  projection.listIndex = 70;
  projection.originLatitude = "39.000";
  projection.scaleFactor = "NULL";
  EXPECT_EQ(Definition(projection), "+proj=merc +lat_ts=39.000 +lon_0=120.000 +x_0=500000.000 +y_0=0.000 +units=m");
}

// A parameter the projection uses must be wholly a number: PROJ itself would
// read "12O" as 12.
TEST(AppendProjDefinition, RefusesAParameterThatIsNoNumber) {
  for (const char* text : {"NULL", "12O", "abc", "", "nan"}) {
    ProjectionParams projection;
    projection.centralMeridian = text;
    std::string definition;
    EXPECT_FALSE(AppendProjDefinition(definition, projection)) << text;
  }
  ProjectionParams mercator;
  mercator.listIndex = 70;
  mercator.scaleFactor = "NULL";  // not used by this form
  std::string definition;
  EXPECT_TRUE(AppendProjDefinition(definition, mercator));
}

TEST(AppendProjEllipsoid, NamesPROJsOwnOrGivesTheFigure) {
  std::string definition;
  AppendProjEllipsoid(definition, {"krass", "6378245", "298.3", ""}, {6378245, 298.3});
  EXPECT_EQ(definition, " +ellps=krass");
  definition.clear();
  AppendProjEllipsoid(definition, {"CGCS2000", "6378137", "298.257222101", ""}, {6378137, 298.257222101});
  EXPECT_EQ(definition, " +a=6378137 +rf=298.257222101");
  definition.clear();
  AppendProjEllipsoid(definition, {"Ball", "6371000", "0", ""}, {6371000, 0});
  EXPECT_EQ(definition, " +R=6371000");
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

TEST(ProjBridge, KnowsPROJsEllipsoidNames) {
  EXPECT_TRUE(IsProjEllipsoidName("WGS84"));
  EXPECT_TRUE(IsProjEllipsoidName("krass"));
  EXPECT_FALSE(IsProjEllipsoidName("CGCS2000"));
  EXPECT_FALSE(IsProjEllipsoidName("wgs84"));
  EXPECT_FALSE(IsProjEllipsoidName(""));
}

}  // namespace
}  // namespace tarnwell
