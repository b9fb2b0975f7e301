#include "engine/ProjBridge.h"

#include <gtest/gtest.h>

#include <cmath>

#include "MessageRecorder.h"
#include "engine/NumberText.h"

namespace tarnwell {
namespace {

TEST(BuildProjDefinition, ChoosesTheFormByListIndex) {
  ProjectionParams projection;
  EXPECT_EQ(BuildProjDefinition(projection),
            "+proj=tmerc +lat_0=0.000 +lon_0=120.000 +x_0=500000.000 +y_0=0.000 +k=1.000 +units=m");

  projection.projKey = "merc";
  projection.listIndex = 70;
  projection.originLatitude = "39.000";
  projection.scaleFactor = "NULL";
  EXPECT_EQ(BuildProjDefinition(projection),
            "+proj=merc +lat_ts=39.000 +lon_0=120.000 +x_0=500000.000 +y_0=0.000 +units=m");

  projection.listIndex = 0;
  EXPECT_EQ(BuildProjDefinition(projection),
            "+proj=tmerc +lat_0=0 +lon_0=120 +k=1.000000 +x_0=500000 +y_0=0 +units=m");

  projection.listIndex = 112;
  projection.originLatitude = "NULL";
  EXPECT_NE(BuildProjDefinition(projection).find("+lat_0=NULL"), std::string::npos);
}

// X, Y, Z of a geodetic point by the closed formula, independent of PROJ.
void ClosedFormCartesian(double a, double rf, double latitude, double longitude, double height,
                         double& X, double& Y, double& Z) {
  const double es = 1 - (1 - 1 / rf) * (1 - 1 / rf);
  const double phi = latitude * M_PI / 180, lambda = longitude * M_PI / 180;
  const double N = a / std::sqrt(1 - es * std::sin(phi) * std::sin(phi));
  X = (N + height) * std::cos(phi) * std::cos(lambda);
  Y = (N + height) * std::cos(phi) * std::sin(lambda);
  Z = (N * (1 - es) + height) * std::sin(phi);
}

TEST(GeodeticToSpace, AgreesWithTheClosedFormula) {
  struct Case { const char *a, *rf; double latitude, longitude, height; };
  for (const Case& c : {Case{"6378137", "298.257223563", 0, 120, 0},
                        Case{"6378245", "298.3", 35.5, 117.25, 123.4},
                        Case{"6378140", "298.257", -33.8688, 151.2093, -20},
                        Case{"6377397.155", "299.1528128", 89.5, -45, 5000}}) {
    std::string first = FormatNumber(c.latitude), second = FormatNumber(c.longitude),
                third = FormatNumber(c.height);
    ASSERT_TRUE(GeodeticToSpace(c.a, c.rf, first, second, third));
    double X, Y, Z;
    ClosedFormCartesian(ParseNumber(c.a), ParseNumber(c.rf), c.latitude, c.longitude, c.height, X, Y, Z);
    EXPECT_NEAR(ParseNumber(first), X, 1e-6);
    EXPECT_NEAR(ParseNumber(second), Y, 1e-6);
    EXPECT_NEAR(ParseNumber(third), Z, 1e-6);

    ASSERT_TRUE(SpaceToGeodetic(c.a, c.rf, first, second, third));
    EXPECT_NEAR(ParseNumber(first), c.latitude, 1e-11);
    EXPECT_NEAR(ParseNumber(second), c.longitude, 1e-11);
    EXPECT_NEAR(ParseNumber(third), c.height, 1e-6);
  }
}

TEST(GeodeticToPlan, PutsTheCentralMeridianAtTheFalseEasting) {
  std::string first = "0", second = "120", third = "12.5";
  const std::string projected = BuildProjDefinition(ProjectionParams{}) + " +ellps=WGS84";
  ASSERT_TRUE(GeodeticToPlan("+proj=latlong +ellps=WGS84", projected, first, second, third));
  EXPECT_NEAR(ParseNumber(first), 0, 1e-9);
  EXPECT_NEAR(ParseNumber(second), 500000, 1e-9);
  EXPECT_EQ(third, "12.500000000000000");
}

TEST(ProjBridge, ReportsARefusedDefinitionAndLeavesTheTexts) {
  MessageRecorder recorder;
  std::string first = "30", second = "120", third = "0";
  EXPECT_FALSE(GeodeticToPlan("+proj=latlong +ellps=WGS84", "+proj=nosuchprojection +ellps=WGS84",
                              first, second, third));
  EXPECT_FALSE(PlanToGeodetic("+proj=tmerc +ellps=NoSuchEllipsoid", "+proj=latlong +ellps=WGS84",
                              first, second, third));
  EXPECT_FALSE(GeodeticToSpace("6378137", "not a number", first, second, third));
  EXPECT_EQ(recorder.messages, std::vector<std::string>(3, "投影参数错误,请检查."));
  EXPECT_EQ(first + second + third, "301200");
}

TEST(ProjBridge, ReportsAPointWithoutResult) {
  MessageRecorder recorder;
  std::string first = "100", second = "120", third = "0";  // no such latitude
  EXPECT_FALSE(GeodeticToPlan("+proj=latlong +ellps=WGS84", "+proj=merc +ellps=WGS84", first, second, third));
  EXPECT_EQ(recorder.messages, std::vector<std::string>{"坐标转换失败,请检查."});
  EXPECT_EQ(first, "100");
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
