#include "estimate/ThreeParameters.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "BatchTestSupport.h"
#include "MessageRecorder.h"
#include "engine/CoordSettings.h"

namespace tarnwell {
namespace {

// X, Y, Z of B, L, h (degrees, metres) on an ellipsoid, by the closed formula.
std::array<double, 3> Cartesian(double a, double inverseFlattening, double bDegrees, double lDegrees, double h) {
  const double f = 1 / inverseFlattening, e2 = f * (2 - f);
  const double b = bDegrees * M_PI / 180, l = lDegrees * M_PI / 180;
  const double n = a / std::sqrt(1 - e2 * std::sin(b) * std::sin(b));
  return {(n + h) * std::cos(b) * std::cos(l), (n + h) * std::cos(b) * std::sin(l), (n * (1 - e2) + h) * std::sin(b)};
}

class ThreeParameters : public testing::Test {
 protected:
  void SetUp() override {
    CoordSettings::instance() = {};
    test::LoadTestEllipsoids(folder);
    TheEllipsoidCatalogue().push_back({"Broken", "6378137", "0.5", "1/f below 1"});
    Settings().sourceEllipsoid = "WGS84";
    Settings().targetEllipsoid = "krass";
  }
  void TearDown() override { CoordSettings::instance() = {}; }
  static CoordSettings& Settings() { return CoordSettings::instance(); }

  test::ScratchFolder folder;
  MessageRecorder recorder;
};

TEST_F(ThreeParameters, TranslationIsTheDifferenceOfTheTwoPositions) {
  // The same B, L, h on two ellipsoids, spaces around the texts.
  const std::optional<SevenParams> shift =
      ComputeThreeParameters(Settings(), " 30:15:36 ", "120:30:0", " 50.5", "30:15:36", " 120:30:0 ", "50.5 ");
  ASSERT_TRUE(shift);
  const auto source = Cartesian(6378137, 298.257223563, 30.26, 120.5, 50.5);
  const auto target = Cartesian(6378245, 298.3, 30.26, 120.5, 50.5);
  const SevenParams& p = *shift;
  EXPECT_NEAR(p.dX, target[0] - source[0], 1e-6);
  EXPECT_NEAR(p.dY, target[1] - source[1], 1e-6);
  EXPECT_NEAR(p.dZ, target[2] - source[2], 1e-6);
  EXPECT_EQ(p.rX, 0);
  EXPECT_EQ(p.rY, 0);
  EXPECT_EQ(p.rZ, 0);
  EXPECT_EQ(p.scalePpm, 0);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(ThreeParameters, RefusalsShowOneMessage) {
  struct Case {
    const char* sourceB;
    const char* targetB;
    const char* targetEllipsoid;
    const char* message;
  };
  for (const Case& c : {Case{"30:0:0", "30:0:0", "WGS84", "椭球必须不同."},
                        Case{"30:30", "30:30", "krass", "坐标格式错误,请检查"},  // the source stops first
                        Case{"30:0:0", "30:30", "krass", "坐标格式错误,请检查."},
                        Case{"3O:0:0", "30:0:0", "krass", "坐标格式错误,请检查"},
                        Case{"", "30:0:0", "krass", "坐标格式错误,请检查"},
                        Case{"30:0:0", "30:0:0", "Broken", "椭球参数错误,请检查.\n椭球: Broken"}}) {
    Settings().targetEllipsoid = c.targetEllipsoid;
    recorder.messages.clear();
    EXPECT_FALSE(ComputeThreeParameters(Settings(), c.sourceB, "120:0:0", "0", c.targetB, "120:0:0", "0"));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{c.message});
  }
}

}  // namespace
}  // namespace tarnwell
