#include "engine/Ellipsoid.h"

#include <gtest/gtest.h>

#include <cmath>

#include "MessageRecorder.h"
#include "TableTestFile.h"

namespace tarnwell {
namespace {

// The catalogue's ellipsoid of that name; nullopt when it is refused.
std::optional<Ellipsoid> Catalogued(const std::string& name) {
  std::optional<Ellipsoid> ellipsoid;
  Ellipsoid::FromCatalogue(name, ellipsoid);
  return ellipsoid;
}

class EllipsoidTest : public testing::Test {
 protected:
  void SetUp() override {
    const test::ScratchTable table(
        "\"WGS84\",\"a=6378137\",\"rf=298.257223563\",\"\"\n"
        "\"krass\",\"a=6378245\",\"rf=298.3\",\"\"\n"
        "\"IAU76\",\"a=6378140\",\"rf=298.257\",\"\"\n"
        "\"bessel\",\"a=6377397.155\",\"rf=299.1528128\",\"\"\n"
        "\"Ball\",\"a=6371000\",\"b=6371000\",\"a sphere by its axes\"\n"
        "\"Ball0\",\"a=6371000\",\"rf=0\",\"a sphere by 1/f = 0\"\n"
        "\"ZeroAxis\",\"a=0\",\"rf=298.3\",\"\"\n"
        "\"ZeroFlattening\",\"a=6378137\",\"rf=0.5\",\"\"\n"
        "\"Negative\",\"a=6378137\",\"rf=-298\",\"\"\n"
        "\"Prolate\",\"a=6378137\",\"b=6400000\",\"\"\n"
        "\"NoEquals\",\"6378137\",\"298.3\",\"\"\n"
        "\"Words\",\"a=six\",\"rf=298.3\",\"\"\n");
    ASSERT_TRUE(LoadEllipsoidCatalogue(table.path()));
  }
  MessageRecorder recorder;
};

// X, Y, Z of a geodetic point by the closed formula, independent of the
// library under test.
CartesianPoint ClosedFormCartesian(double a, double rf, const GeodeticPoint& point) {
  const double es = rf == 0 ? 0 : 1 - (1 - 1 / rf) * (1 - 1 / rf);
  const double phi = point.latitude * M_PI / 180, lambda = point.longitude * M_PI / 180;
  const double N = a / std::sqrt(1 - es * std::sin(phi) * std::sin(phi));
  return {(N + point.height) * std::cos(phi) * std::cos(lambda), (N + point.height) * std::cos(phi) * std::sin(lambda),
          (N * (1 - es) + point.height) * std::sin(phi)};
}

TEST_F(EllipsoidTest, ConvertsLikeTheClosedFormula) {
  struct Case { const char* name; double a, rf; GeodeticPoint point; };
  for (const Case& c : {Case{"WGS84", 6378137, 298.257223563, {0, 120, 0}},
                        Case{"krass", 6378245, 298.3, {35.5, 117.25, 123.4}},
                        Case{"IAU76", 6378140, 298.257, {-33.8688, 151.2093, -20}},
                        Case{"bessel", 6377397.155, 299.1528128, {89.5, -45, 5000}},
                        Case{"Ball", 6371000, 0, {45, 10, 100}}}) {
    const auto ellipsoid = Catalogued(c.name);
    ASSERT_TRUE(ellipsoid) << c.name;
    const CartesianPoint expected = ClosedFormCartesian(c.a, c.rf, c.point);
    const CartesianPoint cartesian = ellipsoid->ToCartesian(c.point);
    EXPECT_NEAR(cartesian.X, expected.X, 1e-8) << c.name;
    EXPECT_NEAR(cartesian.Y, expected.Y, 1e-8) << c.name;
    EXPECT_NEAR(cartesian.Z, expected.Z, 1e-8) << c.name;
  }
}

// From 10 km below the surface to beyond the geostationary orbit the
// cartesian point of the closed formula comes back to the same B, L, h.
TEST_F(EllipsoidTest, FindsTheGeodeticPointAtEveryHeight) {
  const auto wgs84 = Catalogued("WGS84");
  ASSERT_TRUE(wgs84);
  for (double height : {-10e3, 0.0, 9e3, 12e3, 20e3, 100e3, 1e6, 20.2e6, 40e6}) {
    for (double latitude : {0.0, 31.5, -45.25, 89.9}) {
      const GeodeticPoint point{latitude, 121.25, height};
      const GeodeticPoint back = wgs84->ToGeodetic(ClosedFormCartesian(6378137, 298.257223563, point));
      const double metresPerDegree = 111e3 + height * M_PI / 180;
      EXPECT_NEAR(back.latitude, latitude, 1e-6 / metresPerDegree) << height << ' ' << latitude;
      EXPECT_NEAR(back.longitude, 121.25, 1e-6 / metresPerDegree) << height << ' ' << latitude;
      EXPECT_NEAR(back.height, height, 1e-6) << height << ' ' << latitude;
    }
  }
}

TEST_F(EllipsoidTest, TakesASphereByItsAxesOrByZeroFlattening) {
  for (const char* name : {"Ball", "Ball0"}) {
    const auto sphere = Catalogued(name);
    ASSERT_TRUE(sphere) << name;
    EXPECT_TRUE(sphere->figure().IsSphere());
    EXPECT_NEAR(sphere->ToCartesian({0, 0, 0}).X, 6371000, 1e-9);
  }
  EXPECT_TRUE(recorder.messages.empty());
}

// A row that cannot make an ellipsoid is refused by name, never used.
TEST_F(EllipsoidTest, RefusesRowsThatMakeNoEllipsoid) {
  std::optional<Ellipsoid> ellipsoid;
  for (const char* name : {"ZeroAxis", "ZeroFlattening", "Negative", "Prolate", "NoEquals", "Words"}) {
    EXPECT_EQ(MessageText(Ellipsoid::FromCatalogue(name, ellipsoid)),
              std::string("椭球参数错误,请检查.\n椭球: ") + name);
  }
  EXPECT_EQ(MessageText(Ellipsoid::FromCatalogue("NoSuchName", ellipsoid)), "椭球不存在,请检查.");
  EXPECT_FALSE(ellipsoid);
}

}  // namespace
}  // namespace tarnwell
