// The local grid in the conversions: the four parameters and the height fit
// applied after the projection, undone before its inverse, alone from plane
// to plane; nothing of it while the switch is off. And the estimate of both
// from a file of plane common points.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "BatchTestSupport.h"
#include "MessageRecorder.h"
#include "PlaneTestPoints.h"
#include "batch/CoordinateFile.h"
#include "engine/ConversionPlan.h"
#include "engine/CoordSettings.h"
#include "estimate/PlaneFitReport.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

using Texts = std::array<std::string, 3>;

FourParams LocalParams() { return {-1234.5, 2345.25, 95.5, 12.5}; }

HeightFit LocalHeights() {
  HeightFit fit;
  fit.model = HeightModel::Plane;
  fit.centroid = {3.4e6, 5e5};
  fit.coefficients = {1.25, 2e-5, -3e-5, 0, 0, 0};
  return fit;
}

class LocalGrid : public testing::Test {
 protected:
  void SetUp() override {
    CoordSettings::instance() = {};
    test::LoadTestEllipsoids(folder);
    Settings().sourceAngleFormat = Settings().targetAngleFormat = AngleFormat::DDD;
    Settings().fourParams = LocalParams();
    Settings().heightFit = LocalHeights();
  }
  void TearDown() override { CoordSettings::instance() = {}; }

  static CoordSettings& Settings() { return CoordSettings::instance(); }

  static void UseTypes(const char* sourceType, const char* targetType, bool useFourParams) {
    ASSERT_TRUE(ReadKeyword<CoordinateType>(kCoordinateTypes, sourceType, Settings().sourceType));
    ASSERT_TRUE(ReadKeyword<CoordinateType>(kCoordinateTypes, targetType, Settings().targetType));
    Settings().useFourParams = useFourParams;
  }

  // The plan of the settings; nullopt, with its message recorded, when refused.
  std::optional<ConversionPlan> Plan() {
    std::optional<ConversionPlan> plan;
    if (const Refusal refusal = ConversionPlan::FromSettings(Settings(), plan))
      recorder.messages.push_back(MessageText(refusal));
    return plan;
  }

  // The point through a plan of the settings, which must convert it.
  TargetPoint Convert(const Texts& source) {
    const std::optional<ConversionPlan> plan = Plan();
    TargetPoint target;
    EXPECT_TRUE(plan && !plan->Convert(source[0], source[1], source[2], target));
    return target;
  }

  Texts ConvertTexts(const Texts& source) {
    const std::optional<ConversionPlan> plan = Plan();
    return plan ? plan->Texts(Convert(source)) : Texts{};
  }

  static PlanePoint Plane(const TargetPoint& point) { return std::get<PlanePoint>(point); }
  static GeodeticPoint Geodetic(const TargetPoint& point) { return std::get<GeodeticPoint>(point); }
  static Texts AsTexts(const PlanePoint& p) {
    return {FormatNumber(p.north), FormatNumber(p.east), FormatNumber(p.height)};
  }

  // The local grid by hand: the height at the projection's grid position,
  // then the four parameters.
  static PlanePoint ToLocal(PlanePoint p) {
    p.height = LocalHeights().Apply(p.north, p.east, p.height);
    LocalParams().Apply(p.north, p.east);
    return p;
  }

  test::ScratchFolder folder;
  MessageRecorder recorder;
};

TEST_F(LocalGrid, ForwardAppliesTheHeightFitAndTheFourParametersAfterTheProjection) {
  const Texts geodetic = {"31.25", "120.75", "48.5"};
  UseTypes("LB", "Plan", false);
  const PlanePoint projected = Plane(Convert(geodetic));
  UseTypes("LB", "Plan", true);
  const PlanePoint local = Plane(Convert(geodetic));

  const PlanePoint expected = ToLocal(projected);
  EXPECT_EQ(local.north, expected.north);
  EXPECT_EQ(local.east, expected.east);
  EXPECT_EQ(local.height, expected.height);
  // The parameters move the point noticeably: 95.5" about the origin of the grid.
  EXPECT_GT(std::hypot(local.north - projected.north, local.east - projected.east), 1000);
  EXPECT_NE(local.height, projected.height);
}

TEST_F(LocalGrid, InverseUndoesThemExactlyBeforeTheInverseProjection) {
  const PlanePoint local = {3.39e6, 5.4e5, 20};
  UseTypes("Plan", "LB", true);
  const Texts fromLocal = ConvertTexts(AsTexts(local));

  PlanePoint projected = local;
  LocalParams().Inverse(projected.north, projected.east);
  projected.height = LocalHeights().Inverse(projected.north, projected.east, projected.height);
  UseTypes("Plan", "LB", false);
  EXPECT_EQ(fromLocal, ConvertTexts(AsTexts(projected)));

  // And back to the local grid where it started.
  UseTypes("LB", "Plan", true);
  const PlanePoint again = Plane(Convert(fromLocal));
  EXPECT_NEAR(again.north, local.north, 1e-6);
  EXPECT_NEAR(again.east, local.east, 1e-6);
  EXPECT_NEAR(again.height, local.height, 1e-9);
}

TEST_F(LocalGrid, PlanToPlanAppliesThemOnce) {
  const PlanePoint projected = {3412345.678, 487654.321, 35.25};
  UseTypes("Plan", "Plan", true);
  const PlanePoint local = Plane(Convert(AsTexts(projected)));
  const PlanePoint expected = ToLocal(projected);
  EXPECT_EQ(local.north, expected.north);
  EXPECT_EQ(local.east, expected.east);
  EXPECT_EQ(local.height, expected.height);

  // Without the switch plane to plane on one projection is one system.
  UseTypes("Plan", "Plan", false);
  EXPECT_TRUE(Plan()->SameSystem());
  EXPECT_TRUE(recorder.messages.empty());
}

// Parameters stored while the switch is off change no output, and the
// switch touches no route without a plane side.
TEST_F(LocalGrid, WithoutTheSwitchEveryOutputIsAsBefore) {
  struct Case {
    const char* sourceType;
    const char* targetType;
    bool useFourParams;
    Texts source;
  };
  const Case cases[] = {
      {"LB", "Plan", false, {"31.25", "120.75", "48.5"}},
      {"Plan", "LB", false, {"3390000", "540000", "20"}},
      {"LB", "Space", true, {"31.25", "120.75", "48.5"}},
      {"Space", "LB", true, {"-2800000", "4700000", "3300000"}},
  };
  for (const Case& c : cases) {
    UseTypes(c.sourceType, c.targetType, c.useFourParams);
    const Texts withParameters = ConvertTexts(c.source);
    Settings().fourParams = {};
    Settings().heightFit = {};
    Settings().useFourParams = false;
    EXPECT_EQ(withParameters, ConvertTexts(c.source)) << c.sourceType << "->" << c.targetType;
    Settings().fourParams = LocalParams();
    Settings().heightFit = LocalHeights();
  }

  // From LB to LB there is no plane side: the switch leaves it alone.
  Settings().targetEllipsoid = "krass";
  Settings().datum.params = {1, 2, 3, 0.1, 0.2, 0.3, 4};
  UseTypes("LB", "LB", true);
  Settings().useSevenParams = true;
  const Texts chained = ConvertTexts({"31.25", "120.75", "48.5"});
  Settings().useFourParams = false;
  EXPECT_EQ(chained, ConvertTexts({"31.25", "120.75", "48.5"}));
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(LocalGrid, UnusableParametersAreRefusedWhereTheyWouldApply) {
  UseTypes("LB", "Plan", true);
  Settings().fourParams.scalePpm = -1e6;  // a scale factor of 0
  EXPECT_FALSE(Plan());
  Settings().fourParams = LocalParams();
  Settings().heightFit.coefficients[1] = std::nan("");
  UseTypes("Plan", "Plan", true);
  EXPECT_FALSE(Plan());
  EXPECT_EQ(recorder.messages, (std::vector<std::string>{"四参数错误,请检查.", "四参数错误,请检查."}));

  recorder.messages.clear();
  UseTypes("LB", "Space", true);  // no plane side: nothing to refuse
  EXPECT_TRUE(Plan());
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(LocalGrid, FileConversionFromPlaneToPlane) {
  UseTypes("Plan", "Plan", true);
  Settings().fileFormat = FileFormat::NameXYh;
  const std::string input = folder.File("grid.csv");
  test::WriteBytes(input, "A,3412345.678,487654.321,35.25\r\nB,3398765.5,512345.25,120\n");
  const BatchResult result = ConvertCoordinateFile(Settings(), input);
  ASSERT_EQ(result.outcome, BatchOutcome::Converted);
  std::string expected;
  for (const auto& [name, point] : {std::pair{"A", PlanePoint{3412345.678, 487654.321, 35.25}},
                                    std::pair{"B", PlanePoint{3398765.5, 512345.25, 120}}}) {
    const PlanePoint local = ToLocal(point);
    expected += std::string(name) + "," + FormatNumber(local.north) + "," + FormatNumber(local.east) + "," +
                FormatNumber(local.height) + "\r\n";
  }
  EXPECT_EQ(test::ReadBytes(result.outputPath), expected);
}

// The plane common-point files: name,x,y,h,x2,y2,h2, checked whole.
class PlaneCommonPointFile : public testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::string path = folder.File("plane.csv");
    test::WriteBytes(path, bytes);
    return path;
  }

  test::ScratchFolder folder;
  MessageRecorder recorder;
};

TEST_F(PlaneCommonPointFile, ReadsEveryLineInFileOrder) {
  std::vector<PlaneCommonPoint> points(1);
  points[0].name = "kept";
  ASSERT_TRUE(ImportPlaneCommonPointFile(Write("Z1, 3400000.5 ,500000,10,3401000,499000,11.5\r\n\n  \nA2,1e3,-2,0,4,5,6"),
                                         points));
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[1].name, "Z1");
  EXPECT_EQ(points[1].sourceNorth, 3400000.5);
  EXPECT_EQ(points[1].targetHeight, 11.5);
  EXPECT_TRUE(points[1].participates);
  EXPECT_EQ(points[2].name, "A2");
  EXPECT_EQ(points[2].sourceNorth, 1000);
  EXPECT_EQ(points[2].sourceEast, -2);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PlaneCommonPointFile, ABadLineKeepsTheWholeFileOut) {
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"B,1,2,3,4,5", "文件的格式不正确，请检查。"},
      {"B,1,2,3,4,5,6,7", "文件的格式不正确，请检查。"},
      {"B 1 2 3 4 5 6", "文件的格式不正确，请检查。"},
      {"B,1,2,3,4,5,", "坐标格式错误,请检查."},
      {"B,1,2m,3,4,5,6", "坐标格式错误,请检查."},
      {"B,1,2,nan,4,5,6", "坐标格式错误,请检查."},
  };
  for (const Case& c : cases) {
    recorder.messages.clear();
    std::vector<PlaneCommonPoint> points;
    EXPECT_FALSE(ImportPlaneCommonPointFile(Write(std::string("A,1,2,3,4,5,6\n\n") + c.line + "\nC,1,2,3,4,5,6\n"),
                                            points));
    EXPECT_TRUE(points.empty()) << c.line;
    EXPECT_EQ(recorder.messages, std::vector<std::string>{std::string(c.message) + "\n第 3 行: " + c.line});
  }
  recorder.messages.clear();
  std::vector<PlaneCommonPoint> points;
  EXPECT_FALSE(ImportPlaneCommonPointFile(folder.File("missing.csv"), points));
  EXPECT_EQ(recorder.messages, std::vector<std::string>{"坐标文件无法读取。"});
}

const LocalGridOptions kPlaneHeights = {PlaneModel::Full, HeightModel::Plane, {}};

// Exact points give the parameters back; a point moved 0.5 m stands out,
// and left out it no longer bends the others.
TEST(LocalGridEstimate, FindsTheMovedPointAndRefitsWithoutIt) {
  MessageRecorder recorder;
  EXPECT_FALSE(EstimateLocalGrid({}, {}));
  EXPECT_EQ(recorder.messages, std::vector<std::string>{"没有公共点,请先导入文件。"});
  recorder.messages.clear();

  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(8);
  for (PlaneCommonPoint& p : points) {
    LocalParams().Apply(p.targetNorth, p.targetEast);
    p.targetHeight = LocalHeights().Apply(p.sourceNorth, p.sourceEast, p.sourceHeight);
  }
  std::optional<LocalGridEstimate> estimate = EstimateLocalGrid(points, kPlaneHeights);
  ASSERT_TRUE(estimate);
  EXPECT_NEAR(estimate->plane.params.dNorth, LocalParams().dNorth, 1e-5);
  EXPECT_NEAR(estimate->plane.params.dEast, LocalParams().dEast, 1e-5);
  EXPECT_NEAR(estimate->plane.params.rotationArcSeconds, LocalParams().rotationArcSeconds, 1e-7);
  EXPECT_NEAR(estimate->plane.params.scalePpm, LocalParams().scalePpm, 1e-6);
  EXPECT_NEAR(estimate->height.fit.Offset(3.41e6, 4.9e5), LocalHeights().Offset(3.41e6, 4.9e5), 1e-9);
  EXPECT_LT(estimate->report.plane.largest, 1e-8);

  points[5].targetEast += 0.5;
  estimate = EstimateLocalGrid(points, kPlaneHeights);
  ASSERT_TRUE(estimate);
  EXPECT_EQ(estimate->report.plane.largestName, "P5");

  points[5].participates = false;
  estimate = EstimateLocalGrid(points, kPlaneHeights);
  ASSERT_TRUE(estimate);
  for (const PlaneResidual& r : estimate->report.points) {
    if (r.name != "P5") {
      EXPECT_LT(r.v2D, 1e-8) << r.name;
    }
  }
  EXPECT_NEAR(estimate->report.points[5].v2D, 0.5, 1e-8);
  EXPECT_EQ(estimate->report.pointCount, 7u);
  EXPECT_EQ(estimate->report.plane.redundancy, 10);
  EXPECT_EQ(estimate->report.height.redundancy, 4);
  EXPECT_TRUE(recorder.messages.empty());

  // The first refusal ends it: the height fit is not tried.
  for (PlaneCommonPoint& p : points) p.participates = false;
  EXPECT_FALSE(EstimateLocalGrid(points, kPlaneHeights));
  EXPECT_EQ(recorder.messages, std::vector<std::string>{"公共点不足或分布不当,无法计算四参数。"});
}

}  // namespace
}  // namespace tarnwell
