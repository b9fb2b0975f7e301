// Normal heights: geoid models read through GDAL against the grid itself and
// against PROJ, the height step in conversions, the anomaly fit, and their
// keeping in parameter files.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>

#include "BatchTestSupport.h"
#include "MessageRecorder.h"
#include "batch/CoordinateFile.h"
#include "batch/ParameterFile.h"
#include "engine/GeoidModel.h"
#include "engine/PointConversion.h"
#include "estimate/CalibrationReport.h"
#include "estimate/HeightAnomalies.h"
#include "estimate/PlaneFitReport.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

constexpr const char* kEgm96Path = "/usr/share/proj/egm96_15.gtx";

// EGM96 read here straight from its GTX file (big-endian: the south-west
// node, the steps, rows and columns, then float rows from the south), and
// interpolated bilinearly, the columns going round the globe.
class Egm96Grid {
 public:
  Egm96Grid() {
    std::ifstream file(kEgm96Path, std::ios::binary);
    south_ = Double(file), west_ = Double(file), step_ = Double(file);
    Double(file);
    rows_ = Int(file), columns_ = Int(file);
    for (int i = 0; i < rows_ * columns_; ++i) nodes_.push_back(std::bit_cast<float>(Word(file)));
  }

  double At(double latitude, double longitude) const {
    const double row = (latitude - south_) / step_;
    double column = std::fmod((longitude - west_) / step_ + 360 / step_, columns_);
    const int r = static_cast<int>(row), c = static_cast<int>(column);
    const double v = row - r, u = column - c;
    const auto node = [this](int rr, int cc) { return nodes_[rr * columns_ + cc % columns_]; };
    return (1 - v) * ((1 - u) * node(r, c) + u * node(r, c + 1)) + v * ((1 - u) * node(r + 1, c) + u * node(r + 1, c + 1));
  }

 private:
  static std::uint32_t Word(std::ifstream& file) {
    unsigned char b[4];
    file.read(reinterpret_cast<char*>(b), 4);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
  }
  static double Double(std::ifstream& file) {
    const std::uint64_t high = Word(file);
    return std::bit_cast<double>(high << 32 | Word(file));
  }
  static int Int(std::ifstream& file) { return static_cast<int>(Word(file)); }

  double south_, west_, step_;
  int rows_, columns_;
  std::vector<float> nodes_;
};

const Egm96Grid& Egm96() {
  static const Egm96Grid grid;
  return grid;
}

double Number(const std::string& text) {
  double value = std::nan("");
  EXPECT_TRUE(ReadNumber(text, value)) << text;
  return value;
}

class Heights : public testing::Test {
 protected:
  void SetUp() override {
    test::LoadTestEllipsoids(folder);
    settings.sourceType = CoordinateType::LB;
    settings.targetType = CoordinateType::LB;
    settings.sourceAngleFormat = settings.targetAngleFormat = AngleFormat::DDD;
    settings.targetHeight = HeightSystem::Normal;
    settings.geoid = std::string(kEgm96Name);
  }

  // The converted texts, or the refusal's message as the only text.
  PointTexts Convert(const PointTexts& source) const {
    PointTexts target;
    if (const Refusal refusal = ConvertPoint(settings, source, target)) return {MessageText(refusal), "", ""};
    return target;
  }

  test::ScratchFolder folder;
  CoordSettings settings;
};

struct Egm96Case {
  const char* latitude;
  const char* longitude;
  double projUndulation;  // metres: echo "L B 0 0" | cct -d 6 +proj=vgridshift +grids=egm96_15.gtx +multiplier=1
};

class Egm96Heights : public Heights, public testing::WithParamInterface<Egm96Case> {};

// H = h − N on the LB and on the Plan side, N as PROJ's and as the grid's.
TEST_P(Egm96Heights, NormalHeightIsEllipsoidalMinusTheModel) {
  const Egm96Case& c = GetParam();
  const double expected = 10 - Egm96().At(Number(c.latitude), Number(c.longitude));
  EXPECT_NEAR(expected, 10 - c.projUndulation, 1e-3);
  for (CoordinateType target : {CoordinateType::LB, CoordinateType::Plan}) {
    settings.targetType = target;
    settings.projection.projKey = "tmerc";
    settings.projection.centralMeridian = std::round(Number(c.longitude));
    settings.projection.scaleFactor = 1;
    const PointTexts converted = Convert({c.latitude, c.longitude, "10"});
    EXPECT_NEAR(Number(converted[2]), expected, 1e-6) << converted[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Points, Egm96Heights,
                         testing::Values(Egm96Case{"31.5", "120.25", 6.304331},     // a node
                                         Egm96Case{"31.4", "120.3", 6.541826},      // inside a cell
                                         Egm96Case{"-16.1", "179.9", 52.116580}));  // the cell across 180°

// Both sides with the same normal heights need no model at all: the height
// passes through even where a model would refuse.
TEST_F(Heights, SameNormalHeightsOnBothSidesPassThrough) {
  settings.sourceHeight = HeightSystem::Normal;
  settings.geoid = folder.File("absent.gtx");
  EXPECT_EQ(Convert({"31.5", "120.25", "10"})[2], "10.000000000000000");
}

// An ISG header of a 3 × 3 grid of 0.5° steps from (30°, 120°), the extents
// as given; the nodes are those of IsgGrid below.
std::string IsgFile(const char* latMax, const char* lonMax) {
  return std::string("begin_of_head\nmodel name     : SITE\ndata type      : geoid\ndata units     : meters\n"
                     "data format    : grid\ndata ordering  : N-to-S, W-to-E\ncoord type     : geodetic\n"
                     "coord units    : deg\nlat min        =    30.000000\nlat max        =    ") +
         latMax + "\nlon min        =   120.000000\nlon max        =   " + lonMax +
         "\ndelta lat      =     0.500000\ndelta lon      =     0.500000\nnrows          =          3\n"
         "ncols          =          3\nnodata         =  -9999.0000\nISG format     = 2.0\nend_of_head\n"
         "10.0 11.0 -9999.0\n12.0 14.0 15.0\n13.0 16.0 18.0\n";
}

// A small ISG grid of known values as the format writes it: nodes from "lat
// min" to "lat max", at 31, 30.5, 30 (north first) and 120, 120.5, 121.
class IsgGrid : public Heights {
 protected:
  void SetUp() override {
    Heights::SetUp();
    settings.geoid = folder.File("site.isg");
    test::WriteBytes(settings.geoid, IsgFile("31.000000", "121.000000"));
  }
};

TEST_F(IsgGrid, InsideACellGivesTheBilinearValue) {
  // A quarter of a cell east and half a cell south of node (31, 120):
  // rows 10, 11 and 12, 14 weighted 1/2 each, columns 3/4 and 1/4.
  const double undulation = 0.5 * (0.75 * 10 + 0.25 * 11) + 0.5 * (0.75 * 12 + 0.25 * 14);
  EXPECT_NEAR(Number(Convert({"30.75", "120.125", "20"})[2]), 20 - undulation, 1e-12);
  // The corner nodes themselves are inside.
  EXPECT_NEAR(Number(Convert({"30", "121", "20"})[2]), 20 - 18, 1e-12);
}

// A file whose extents are the outer edges of the cells, as GDAL 3.6 reads
// ISG files, keeps that meaning: its nodes lie half a step inside.
TEST_F(IsgGrid, ExtentsAtTheCellEdgesKeepTheirMeaning) {
  test::WriteBytes(settings.geoid, IsgFile("31.500000", "121.500000"));
  const double undulation = 0.5 * (0.75 * 10 + 0.25 * 11) + 0.5 * (0.75 * 12 + 0.25 * 14);
  EXPECT_NEAR(Number(Convert({"31", "120.375", "20"})[2]), 20 - undulation, 1e-12);
  EXPECT_EQ(Convert({"30.1", "120.5", "20"})[0], "点位超出高程模型范围,请检查.\n高程模型: " + settings.geoid);
}

TEST_F(IsgGrid, OutsideTheGridOrOnNoDataIsRefusedNamingTheModel) {
  const std::string model = "\n高程模型: " + settings.geoid;
  EXPECT_EQ(Convert({"31.1", "120.5", "20"})[0], "点位超出高程模型范围,请检查." + model);
  EXPECT_EQ(Convert({"30.5", "121.1", "20"})[0], "点位超出高程模型范围,请检查." + model);
  EXPECT_EQ(Convert({"30.75", "120.75", "20"})[0], "高程模型在该点无值,请检查." + model);
}

TEST_F(IsgGrid, FileWithAPointOutsideWritesNothing) {
  CoordSettings::instance() = settings;
  const std::string input = folder.File("points.txt");
  test::WriteBytes(input, "P1,30.75,120.125,20\nP2,35,120.5,20\n");
  MessageRecorder recorder;
  EXPECT_EQ(ConvertCoordinateFile(CoordSettings::instance(), input).outcome, BatchOutcome::Stopped);
  CoordSettings::instance() = {};
  EXPECT_FALSE(std::filesystem::exists(input + "1"));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_NE(recorder.messages[0].find("点位超出高程模型范围"), std::string::npos) << recorder.messages[0];
}

// A model is read once while its file stays as it was, and again once the
// file changes.
TEST_F(IsgGrid, OpeningAgainSharesTheModelUntilTheFileChanges) {
  std::shared_ptr<const GeoidModel> first, again, changed;
  ASSERT_FALSE(GeoidModel::Open(settings.geoid, first));
  ASSERT_FALSE(GeoidModel::Open(settings.geoid, again));
  EXPECT_EQ(first, again);
  std::string text = IsgFile("31.000000", "121.000000");
  text.replace(text.find("10.0 11.0"), 4, "20.00");  // a size of its own
  test::WriteBytes(settings.geoid, text);
  ASSERT_FALSE(GeoidModel::Open(settings.geoid, changed));
  EXPECT_NE(first, changed);
  double undulation = 0;
  ASSERT_FALSE(changed->Undulation(31, 120, undulation));
  EXPECT_EQ(undulation, 20);
}

// Levelled points around (31.5°, 120.25°) whose normal heights were made
// with EGM96 and a plane of anomalies, in the local plane written out here.
class AnomalyFitting : public Heights {
 protected:
  static double Plane(double latitude, double longitude) {
    constexpr double kMetresPerDegree = 6378137 * std::numbers::pi / 180;
    const double north = kMetresPerDegree * (latitude - 31.5);
    const double east = kMetresPerDegree * (longitude - 120.25) * std::cos(31.5 * std::numbers::pi / 180);
    return 0.35 + 2e-6 * north - 3e-6 * east;
  }

  static std::vector<LevelledPoint> Points() {
    std::vector<LevelledPoint> points;
    const double offsets[][2] = {{-0.1, -0.1}, {-0.1, 0.08}, {0.1, -0.07}, {0.12, 0.1},
                                 {0, 0.05},    {0.03, -0.05}, {-0.05, 0}, {0.06, 0.02}};
    for (const auto& [dB, dL] : offsets) {
      LevelledPoint point{"P" + std::to_string(points.size() + 1), 31.5 + dB, 120.25 + dL, 40, 0};
      point.normalHeight = 40 - Egm96().At(point.latitude, point.longitude) - Plane(point.latitude, point.longitude);
      points.push_back(point);
    }
    return points;
  }
};

TEST_F(AnomalyFitting, RecoversAnExactPlaneAndPointsAtABlunder) {
  std::shared_ptr<const GeoidModel> egm96;
  ASSERT_FALSE(GeoidModel::Open(std::string(kEgm96Name), egm96));
  std::vector<LevelledPoint> points = Points();
  const std::optional<AnomalyEstimate> exact = EstimateAnomalyFit(points, egm96.get(), HeightModel::Plane);
  ASSERT_TRUE(exact);
  EXPECT_LT(exact->rms, 1e-6);
  for (const auto& [latitude, longitude] : {std::pair{31.45, 120.2}, {31.55, 120.33}})
    EXPECT_NEAR(exact->fit.Anomaly(latitude, longitude), Plane(latitude, longitude), 1e-6);

  points[2].normalHeight += 0.05;
  const std::optional<AnomalyEstimate> blundered = EstimateAnomalyFit(points, egm96.get(), std::nullopt);
  ASSERT_TRUE(blundered);
  EXPECT_EQ(blundered->fit.surface.model, HeightModel::Quadratic);  // eight points: automatic quadratic
  const std::optional<AnomalyEstimate> plane = EstimateAnomalyFit(points, egm96.get(), HeightModel::Plane);
  ASSERT_TRUE(plane);
  EXPECT_EQ(plane->largestName, "P3");
  EXPECT_EQ(plane->suspectName, "P3");
  EXPECT_EQ(plane->redundancy, 8 - 3);
  EXPECT_GT(plane->sigma0, 0.01);
  EXPECT_GT(plane->deviations[0], 0);
  // The report carries the model, the surface and every point's row.
  settings.geoid = std::string(kEgm96Name);
  const CalibrationReport report = MakeHeightFitReport(*plane, settings, {{"levelled.csv"}, "2026-12-07 22:00 UTC"});
  EXPECT_EQ(report.sections[1].title, "高程异常拟合 (plane)");
  EXPECT_NE(ReportHtml(report).find("egm96 (r = h − H − N"), std::string::npos);
  ASSERT_EQ(report.residualRows.size(), points.size());
  EXPECT_EQ(report.residualRows[2][0], "P3");
  EXPECT_NEAR(Number(report.residualRows[2][3]), plane->residuals[2].residual, 5e-5);
}

TEST(AutomaticHeightModel, ChoosesBySizeOfTheSet) {
  const std::pair<std::size_t, HeightModel> cases[] = {{1, HeightModel::Constant}, {2, HeightModel::Constant},
                                                       {3, HeightModel::Plane},    {5, HeightModel::Plane},
                                                       {6, HeightModel::Quadratic}};
  for (const auto& [count, model] : cases) EXPECT_EQ(AutomaticHeightModel(count), model) << count;
}

// The conversion with a saved set equals the conversion with the set itself,
// the anomaly fit restored after the model: H = h − N − r.
TEST_F(AnomalyFitting, SavedModelAndFitConvertTheSame) {
  settings.useAnomalyFit = true;
  settings.anomalyFit = {31.5, 120.25, {HeightModel::Plane, {0, 0}, {0.35, 2e-6, -3e-6, 0, 0, 0}}};
  const PointTexts direct = Convert({"31.55", "120.33", "40"});
  EXPECT_NEAR(Number(direct[2]), 40 - Egm96().At(31.55, 120.33) - Plane(31.55, 120.33), 1e-9);

  const std::string path = folder.File("site.twp");
  ASSERT_TRUE(WriteParameterFile(path, settings));
  CoordSettings work;
  work.sourceType = work.targetType = CoordinateType::LB;
  work.sourceAngleFormat = work.targetAngleFormat = AngleFormat::DDD;
  work.targetHeight = HeightSystem::Normal;
  const std::optional<CoordSettings> read = ReadParameterFile(path, work);
  ASSERT_TRUE(read);
  settings = *read;
  EXPECT_EQ(Convert({"31.55", "120.33", "40"}), direct);
}

// A local grid whose heights are normal heights, from GNSS ellipsoidal
// heights, over EGM96: site heights h2 = h − N + a tilted plane in the grid.
// The height fit recovers the plane alone, and the conversion through the
// model and the local grid gives the site heights back.
TEST_F(Heights, FourParameterHeightFitIsOfWhatTheModelLeaves) {
  settings.targetType = CoordinateType::Plan;
  settings.projection.projKey = "tmerc";
  settings.projection.centralMeridian = 120;
  settings.projection.scaleFactor = 1;
  const auto gridOf = [this](double latitude, double longitude) {
    CoordSettings ellipsoidal = settings;
    ellipsoidal.targetHeight = HeightSystem::Ellipsoidal;
    PointTexts grid;
    EXPECT_FALSE(ConvertPoint(ellipsoidal, {FormatNumber(latitude), FormatNumber(longitude), "40"}, grid));
    return PlanePosition{Number(grid[0]), Number(grid[1])};
  };
  const PlanePosition origin = gridOf(31.5, 120.25);
  const auto sitePlane = [&origin](PlanePosition at) {
    return 1.2 + 3e-6 * (at.north - origin.north) - 2e-6 * (at.east - origin.east);
  };
  std::vector<PlaneCommonPoint> points;
  for (const auto& [dB, dL] : {std::pair{-0.1, -0.1}, {-0.1, 0.08}, {0.1, -0.07}, {0.12, 0.1}, {0.0, 0.05}}) {
    const PlanePosition grid = gridOf(31.5 + dB, 120.25 + dL);
    const double site = 40 - Egm96().At(31.5 + dB, 120.25 + dL) + sitePlane(grid);
    points.push_back({"S" + std::to_string(points.size()), grid.north, grid.east, 40, grid.north + 100, grid.east - 50,
                      site});
  }
  // An ellipsoidal side keeps the heights as they were given.
  CoordSettings ellipsoidal = settings;
  ellipsoidal.targetHeight = HeightSystem::Ellipsoidal;
  EXPECT_EQ(PointsOnGridHeights(ellipsoidal, points)->front().sourceHeight, 40);

  const std::optional<std::vector<PlaneCommonPoint>> reduced = PointsOnGridHeights(settings, points);
  ASSERT_TRUE(reduced);
  const std::optional<LocalGridEstimate> estimate =
      EstimateLocalGrid(*reduced, {PlaneModel::Full, HeightModel::Plane, {}});
  ASSERT_TRUE(estimate);
  EXPECT_LT(estimate->report.height.rms, 1e-6);
  const PlanePosition elsewhere = gridOf(31.52, 120.28);
  EXPECT_NEAR(estimate->height.fit.Offset(elsewhere.north, elsewhere.east), sitePlane(elsewhere), 1e-6);

  settings.useFourParams = true;
  settings.fourParams = estimate->plane.params;
  settings.heightFit = estimate->height.fit;
  EXPECT_NEAR(Number(Convert({"31.52", "120.28", "40"})[2]), 40 - Egm96().At(31.52, 120.28) + sitePlane(elsewhere),
              1e-6);
}

}  // namespace
}  // namespace tarnwell
