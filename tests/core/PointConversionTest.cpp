#include "engine/PointConversion.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <array>
#include <cmath>

#include "TableTestFile.h"
#include "engine/CoordSettings.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

using Triple = std::array<std::string, 3>;
using Values = std::array<double, 3>;

class PointConversion : public testing::Test {
 protected:
  void SetUp() override {
    const test::ScratchTable table("\"WGS84\",\"a=6378137\",\"rf=298.257223563\",\"WGS84\"\n"
                                   "\"krass\",\"a=6378245\",\"rf=298.3\",\"Krassovsky\"\n"
                                   "\"GRS80\",\"a=6378137\",\"rf=298.257222101\",\"GRS80\"\n"
                                   "\"CGCS2000\",\"a=6378137\",\"rf=298.257222101\",\"CGCS2000\"\n"
                                   "\"Bessel-b\",\"a=6377397.155\",\"b=6356078.962818\",\"a name PROJ lacks\"\n");
    ASSERT_TRUE(LoadEllipsoidCatalogue(table.path()));
    settings.sourceAngleFormat = settings.targetAngleFormat = AngleFormat::DDD;
  }

  // The target texts, or the message of the refusal as the only text.
  Triple Convert(const Triple& source) const {
    Triple target{"old", "old", "old"};
    if (const Refusal refusal = ConvertPoint(settings, source, target)) return {MessageText(refusal), "", ""};
    return target;
  }

  static double Number(const std::string& text) {
    double value = std::nan("");
    EXPECT_TRUE(ReadNumber(text, value)) << text;
    return value;
  }
  static Values Numbers(const Triple& texts) { return {Number(texts[0]), Number(texts[1]), Number(texts[2])}; }
  static Triple Texts(const Values& values) {
    return {FormatNumber(values[0]), FormatNumber(values[1]), FormatNumber(values[2])};
  }

  void Use(CoordinateType source, CoordinateType target) {
    settings.sourceType = source;
    settings.targetType = target;
  }

  CoordSettings settings;
};

// A datum set and the GNSS point of the tests, on WGS84.
constexpr SevenParams kSite = {15.8, -154.4, -82.3, 0.5, -0.3, 0.2, 1.5};
constexpr Values kGnssPoint = {31.5, 121.25, 10};  // B, L in degrees, h in metres

// The point in each coordinate type, by independent arithmetic: GeographicLib
// for the geocentric and transverse Mercator conversions (central meridian
// 120°, false easting 500 km: the default projection), PROJ's Helmert for the
// datum shift.
struct Representations {
  Values space, geodetic, plane;
};

Representations OnEllipsoid(double semiMajorAxis, double inverseFlattening, const Values& geodetic) {
  const GeographicLib::Geocentric earth(semiMajorAxis, 1 / inverseFlattening);
  const GeographicLib::TransverseMercator projection(semiMajorAxis, 1 / inverseFlattening, 1);
  Representations r;
  r.geodetic = geodetic;
  earth.Forward(geodetic[0], geodetic[1], geodetic[2], r.space[0], r.space[1], r.space[2]);
  double east, north;
  projection.Forward(120, geodetic[0], geodetic[1], east, north);
  r.plane = {north, east + 500000, geodetic[2]};
  return r;
}

Values ProjHelmert(const SevenParams& p, const char* convention, const Values& space) {
  const std::string definition = "+proj=helmert +x=" + std::to_string(p.dX) + " +y=" + std::to_string(p.dY) +
                                 " +z=" + std::to_string(p.dZ) + " +rx=" + std::to_string(p.rX) +
                                 " +ry=" + std::to_string(p.rY) + " +rz=" + std::to_string(p.rZ) +
                                 " +s=" + std::to_string(p.scalePpm) + " +convention=" + convention;
  PJ* helmert = proj_create(PJ_DEFAULT_CTX, definition.c_str());
  EXPECT_NE(helmert, nullptr) << definition;
  const PJ_COORD shifted = proj_trans(helmert, PJ_FWD, proj_coord(space[0], space[1], space[2], 0));
  proj_destroy(helmert);
  return {shifted.xyz.x, shifted.xyz.y, shifted.xyz.z};
}

const Values& Of(const Representations& r, CoordinateType type) {
  return type == CoordinateType::Space ? r.space : type == CoordinateType::LB ? r.geodetic : r.plane;
}

struct PairCase {
  CoordinateType source, target;
  bool acrossDatums;
};

void PrintTo(const PairCase& c, std::ostream* out) {
  *out << KeywordOf<CoordinateType>(kCoordinateTypes, c.source) << "->"
       << KeywordOf<CoordinateType>(kCoordinateTypes, c.target) << (c.acrossDatums ? " WGS84->krass" : " WGS84");
}

class EveryPair : public PointConversion, public testing::WithParamInterface<PairCase> {};

TEST_P(EveryPair, ConvertsTheGnssPoint) {
  const PairCase& c = GetParam();
  const Representations wgs84 = OnEllipsoid(6378137, 298.257223563, kGnssPoint);
  Representations expected = wgs84;
  if (c.acrossDatums) {
    settings.useSevenParams = true;
    settings.datum.params = kSite;
    settings.targetEllipsoid = "krass";
    const Values shifted = ProjHelmert(kSite, "coordinate_frame", wgs84.space);
    Values geodetic;
    GeographicLib::Geocentric(6378245, 1 / 298.3).Reverse(shifted[0], shifted[1], shifted[2], geodetic[0],
                                                          geodetic[1], geodetic[2]);
    expected = OnEllipsoid(6378245, 298.3, geodetic);
  }
  Use(c.source, c.target);
  const Values converted = Numbers(Convert(Texts(Of(wgs84, c.source))));
  const Values& wanted = Of(expected, c.target);
  // PROJ's Helmert keeps the second-order k·R·X term the linearised model
  // leaves out: 0.03 mm here.
  const double metres = c.acrossDatums ? 1e-4 : 1e-6;
  const double degrees = metres / 111e3;
  const bool angles = c.target == CoordinateType::LB;
  EXPECT_NEAR(converted[0], wanted[0], angles ? degrees : metres);
  EXPECT_NEAR(converted[1], wanted[1], angles ? degrees : metres);
  EXPECT_NEAR(converted[2], wanted[2], metres);
}

std::vector<PairCase> AllPairs() {
  std::vector<PairCase> pairs;
  for (bool across : {false, true}) {
    for (CoordinateType source : {CoordinateType::Space, CoordinateType::LB, CoordinateType::Plan}) {
      for (CoordinateType target : {CoordinateType::Space, CoordinateType::LB, CoordinateType::Plan})
        pairs.push_back({source, target, across});
    }
  }
  return pairs;
}

INSTANTIATE_TEST_SUITE_P(NineTypePairs, EveryPair, testing::ValuesIn(AllPairs()));

TEST_F(PointConversion, LBToSpaceGivesTheKnownPointWithFifteenDecimals) {
  Use(CoordinateType::LB, CoordinateType::Space);
  settings.sourceAngleFormat = AngleFormat::DMS;
  const Triple point = Convert({"0:0:0", "120:0:0", "0"});
  EXPECT_NEAR(Number(point[0]), -3189068.5, 1e-6);
  EXPECT_NEAR(Number(point[1]), 5523628.670817, 1e-6);
  EXPECT_EQ(point[2], "0.000000000000000");
}

// One system on both sides: read strictly, written in the target format.
TEST_F(PointConversion, OneSystemIsReadAndWrittenAgain) {
  Use(CoordinateType::LB, CoordinateType::LB);
  settings.sourceAngleFormat = AngleFormat::DMS;
  EXPECT_EQ(Convert({"30:30:0", " 120:15:0 ", "10"}),
            (Triple{"30.500000000000000", "120.250000000000000", "10.000000000000000"}));
  Use(CoordinateType::Space, CoordinateType::Space);
  EXPECT_EQ(Convert({"garbage", "nan", "1,5"})[0], "坐标格式错误,请检查.");
}

struct RuleCase {
  bool useSevenParams;
  const char* sourceEllipsoid;
  const char* targetEllipsoid;
  const char* datumFrom;  // the pair the set was stated for; "" for none
  const char* datumTo;
  const char* message;    // "" when the point converts
};

class EllipsoidRules : public PointConversion, public testing::WithParamInterface<RuleCase> {};

TEST_P(EllipsoidRules, AllowOnlyWhatTheDatumSetCovers) {
  const RuleCase& c = GetParam();
  Use(CoordinateType::LB, CoordinateType::Plan);
  settings.useSevenParams = c.useSevenParams;
  settings.sourceEllipsoid = c.sourceEllipsoid;
  settings.targetEllipsoid = c.targetEllipsoid;
  settings.datum = {kSite, RotationConvention::CoordinateFrame, c.datumFrom, c.datumTo};
  const Triple converted = Convert({"31.5", "121.25", "10"});
  if (*c.message) {
    EXPECT_EQ(converted[0], c.message);
  } else {
    EXPECT_NE(converted[0].find('.'), std::string::npos) << converted[0];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, EllipsoidRules,
    testing::Values(RuleCase{false, "WGS84", "WGS84", "", "", ""},
                    RuleCase{false, "WGS84", "krass", "", "", "椭球必须相同."},
                    RuleCase{true, "WGS84", "WGS84", "", "", "椭球必须不同."},
                    RuleCase{true, "WGS84", "krass", "", "", ""},
                    RuleCase{true, "WGS84", "krass", "WGS84", "krass", ""},
                    RuleCase{true, "krass", "WGS84", "WGS84", "krass", ""},  // the exact inverse
                    RuleCase{true, "WGS84", "Bessel-b", "WGS84", "krass",
                             "七参数不适用于所选椭球,请检查.\n参数: WGS84 → krass"},
                    RuleCase{false, "wgs84", "wgs84", "", "", "椭球不存在,请检查."},
                    RuleCase{true, "WGS84", "NoSuch", "", "", "椭球不存在,请检查."}));

// After computing WGS84 → krass, swapping the sides takes a point back: the
// plan solves the model exactly instead of negating the parameters.
TEST_F(PointConversion, DatumSetStatedOneWayTakesPointsBackExactly) {
  settings.useSevenParams = true;
  settings.datum = {{120.5, -80.25, 95.75, 3.5, -2.75, 4.25, 12.5}, RotationConvention::CoordinateFrame, "WGS84", "krass"};
  settings.targetEllipsoid = "krass";
  Use(CoordinateType::Space, CoordinateType::Space);
  const Triple start = {"-2850000.125", "4650000.5", "3300000.25"};
  const Triple there = Convert(start);
  std::swap(settings.sourceEllipsoid, settings.targetEllipsoid);
  const Values back = Numbers(Convert(there)), wanted = Numbers(start);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], wanted[i], 1e-6);
}

TEST_F(PointConversion, PositionVectorConventionIsPROJs) {
  settings.useSevenParams = true;
  settings.datum = {kSite, RotationConvention::PositionVector, "", ""};
  settings.targetEllipsoid = "krass";
  Use(CoordinateType::Space, CoordinateType::Space);
  const Values start = {-2850000.125, 4650000.5, 3300000.25};
  const Values converted = Numbers(Convert(Texts(start)));
  const Values wanted = ProjHelmert(kSite, "position_vector", start);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(converted[i], wanted[i], 1e-4);
}

// A change of zone: 3° zone 39 (117°) to zone 40 (120°), by GeographicLib.
TEST_F(PointConversion, PlanToPlanChangesZones) {
  settings.sourceEllipsoid = settings.targetEllipsoid = "CGCS2000";
  settings.projection.zoneWidth = settings.sourceProjection.zoneWidth = 3;
  settings.sourceProjection.zone = 39;
  settings.projection.zone = 40;
  settings.ownSourceProjection = true;
  Use(CoordinateType::Plan, CoordinateType::Plan);
  const GeographicLib::TransverseMercator gauss(6378137, 1 / 298.257222101, 1);
  double east39, north39, east40, north40;
  gauss.Forward(117, 31.5, 118.6, east39, north39);
  gauss.Forward(120, 31.5, 118.6, east40, north40);
  const Values converted = Numbers(Convert(Texts({north39, east39 + 500000, 25})));
  EXPECT_NEAR(converted[0], north40, 1e-6);
  EXPECT_NEAR(converted[1], east40 + 500000, 1e-6);
  EXPECT_EQ(converted[2], 25);
}

// The zone number in front of the easting is a label: the local grid turns
// and scales the easting within the zone.
TEST_F(PointConversion, LocalGridLeavesTheZonePrefixAlone) {
  Use(CoordinateType::LB, CoordinateType::Plan);
  settings.projection.zoneWidth = 3;
  settings.projection.zone = 40;
  settings.projection.zonePrefix = true;
  const Values plain = Numbers(Convert({"31.5", "121.25", "10"}));
  settings.useFourParams = true;
  settings.fourParams = {0, 0, 0, 100};  // 100 ppm
  const Values scaled = Numbers(Convert({"31.5", "121.25", "10"}));
  EXPECT_NEAR(scaled[1] - 40e6, (plain[1] - 40e6) * 1.0001, 1e-6);
  settings.sourceType = CoordinateType::Plan;
  settings.targetType = CoordinateType::LB;
  const Values back = Numbers(Convert(Texts(scaled)));
  EXPECT_NEAR(back[1], 121.25, 1e-11);
}

struct MistakeCase {
  CoordinateType source, target;
  AngleFormat angleFormat;
  Triple values;
  const char* message;
};

void PrintTo(const MistakeCase& c, std::ostream* out) {
  *out << KeywordOf<CoordinateType>(kCoordinateTypes, c.source) << "->"
       << KeywordOf<CoordinateType>(kCoordinateTypes, c.target) << ' ' << c.values[0] << '|' << c.values[1] << '|'
       << c.values[2];
}

class Mistakes : public PointConversion, public testing::WithParamInterface<MistakeCase> {};

TEST_P(Mistakes, AreRefusedWithTheMessage) {
  const MistakeCase& c = GetParam();
  Use(c.source, c.target);
  settings.sourceAngleFormat = c.angleFormat;
  EXPECT_EQ(Convert(c.values)[0], c.message);
}

using T = CoordinateType;
INSTANTIATE_TEST_SUITE_P(
    Typing, Mistakes,
    testing::Values(MistakeCase{T::LB, T::Space, AngleFormat::DDD, {"3l.5", "121.25", "10"}, "坐标格式错误,请检查"},
                    MistakeCase{T::LB, T::Space, AngleFormat::DDD, {"31.5", "121.25", "abc"}, "坐标格式错误,请检查"},
                    // A latitude past the pole says so on the second line.
                    MistakeCase{T::LB, T::Space, AngleFormat::DDD, {"95", "121.25", "10"},
                                "坐标格式错误,请检查\n纬度 95° 超出 ±90°"},
                    MistakeCase{T::LB, T::Space, AngleFormat::DMS, {"30:30", "121:0:0", "10"}, "坐标格式错误,请检查"},
                    MistakeCase{T::LB, T::Plan, AngleFormat::DMM, {"1e15", "121:0", "10"}, "坐标格式错误,请检查."},
                    MistakeCase{T::LB, T::Plan, AngleFormat::DDD, {"90.0000001", "121.25", "1"},
                                "坐标格式错误,请检查.\n纬度 90.0000001° 超出 ±90°"},
                    MistakeCase{T::Space, T::LB, AngleFormat::DDD, {"", "", ""}, "坐标格式错误,请检查."},
                    MistakeCase{T::Space, T::Plan, AngleFormat::DDD, {"garbage", "nan", "1,5"}, "坐标格式错误,请检查."},
                    MistakeCase{T::Plan, T::LB, AngleFormat::DDD, {"3487088.1", "nan", "0"}, "坐标格式错误,请检查."},
                    // Beyond the pole, and far beyond the zone: the second line says where.
                    MistakeCase{T::Plan, T::LB, AngleFormat::DDD, {"20000000", "500000", "0"},
                                "坐标转换失败,请检查.\n纵坐标 x 20000 km 在北极 (10001.966 km) 以北, 超出投影范围"},
                    MistakeCase{T::Plan, T::LB, AngleFormat::DDD, {"3000000", "50000000", "0"},
                                "坐标转换失败,请检查.\n横坐标 y 距中央子午线 49500 km, 超出投影范围"},
                    // Outside the transverse Mercator band: the second line says why.
                    MistakeCase{T::LB, T::Plan, AngleFormat::DDD, {"30", "-70", "0"},
                                "坐标转换失败,请检查.\n距中央子午线 190°, 超出投影范围"}));

// Settings outside their ranges are refused before any point.
struct RangeCase {
  const char* what;
  void (*spoil)(CoordSettings&);
  const char* message;
};

void PrintTo(const RangeCase& c, std::ostream* out) { *out << c.what; }

class SettingsOutOfRange : public PointConversion, public testing::WithParamInterface<RangeCase> {};

TEST_P(SettingsOutOfRange, AreRefused) {
  Use(CoordinateType::LB, CoordinateType::Plan);
  GetParam().spoil(settings);
  EXPECT_EQ(Convert({"31.5", "121.25", "10"})[0], GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SettingsOutOfRange,
    testing::Values(
        RangeCase{"plane height below -a/2", [](CoordSettings& s) { s.projection.surfaceHeight = -6378136; },
                  "投影参数错误,请检查."},
        RangeCase{"central meridian 1e308", [](CoordSettings& s) { s.projection.centralMeridian = 1e308; },
                  "投影参数错误,请检查."},
        RangeCase{"unsupported projection", [](CoordSettings& s) { s.projection.projKey = "nosuch"; },
                  "投影参数错误,请检查."},
        RangeCase{"a parameter without value", [](CoordSettings& s) { s.projection.centralMeridian.reset(); },
                  "投影参数错误,请检查."},
        RangeCase{"four-parameter shift 1e300",
                  [](CoordSettings& s) {
                    s.useFourParams = true;
                    s.fourParams.dNorth = 1e300;
                  },
                  "四参数错误,请检查."},
        RangeCase{"height-fit centroid 1e308",
                  [](CoordSettings& s) {
                    s.useFourParams = true;
                    s.heightFit.centroid.north = 1e308;
                  },
                  "四参数错误,请检查."},
        RangeCase{"datum shift 1e300",
                  [](CoordSettings& s) {
                    s.useSevenParams = true;
                    s.targetEllipsoid = "krass";
                    s.datum.params.dX = 1e300;
                  },
                  "七参数错误,请检查."}));

// LB → Space → LB and LB → Plan → LB on several ellipsoids, far from the
// central meridian and in both hemispheres.
TEST_F(PointConversion, RoundTripsAgreeToTheNanodegree) {
  const double points[][3] = {{31.2345678912, 121.4567891234, 45.678}, {45.5, 126.0, 1200.25},
                              {18.25, 110.0, -12.5},                    {-33.8688, 151.2093, 58.0},
                              {53.5, 130.5, 0.0}};
  for (const char* ellipsoid : {"WGS84", "krass", "CGCS2000", "Bessel-b"}) {
    settings.sourceEllipsoid = settings.targetEllipsoid = ellipsoid;
    for (CoordinateType via : {CoordinateType::Space, CoordinateType::Plan}) {
      for (const auto& p : points) {
        Use(CoordinateType::LB, via);
        const Triple there = Convert(Texts({p[0], p[1], p[2]}));
        Use(via, CoordinateType::LB);
        const Values back = Numbers(Convert(there));
        EXPECT_NEAR(back[0], p[0], 1e-9) << ellipsoid;
        EXPECT_NEAR(back[1], p[1], 1e-9) << ellipsoid;
        EXPECT_NEAR(back[2], p[2], 1e-6) << ellipsoid;
      }
    }
  }
}

}  // namespace
}  // namespace tarnwell
