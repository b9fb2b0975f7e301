// The projection of "Plan" coordinates: Gauss-Krüger and UTM zones against
// GeographicLib's transverse Mercator, the zone-number prefix both ways,
// each point in its own zone, the projection-plane height, and refusals.
#include "engine/PlaneProjection.h"

#include <GeographicLib/TransverseMercator.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "MessageRecorder.h"
#include "engine/ConversionPlan.h"
#include "engine/CoordSettings.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/ProjectionCatalogue.h"
#include "tables/TablePaths.h"

namespace tarnwell {
namespace {

// The catalogue's ellipsoid of that name; nullopt when it is refused.
std::optional<Ellipsoid> Catalogued(const std::string& name) {
  std::optional<Ellipsoid> ellipsoid;
  Ellipsoid::FromCatalogue(name, ellipsoid);
  return ellipsoid;
}

class PlaneProjectionTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadEllipsoidCatalogue(GetTablePath("ellips.csv"))); }

  static Ellipsoid Named(const std::string& name) {
    std::optional<Ellipsoid> ellipsoid = Catalogued(name);
    EXPECT_TRUE(ellipsoid) << name;
    return *ellipsoid;
  }

  static PlaneProjection Make(const ProjectionParams& projection, const std::string& ellipsoid = "CGCS2000") {
    std::optional<PlaneProjection> made = PlaneProjection::Make(projection, Named(ellipsoid));
    EXPECT_TRUE(made);
    return *made;
  }

  static ProjectionParams GaussKruger(int width, bool autoZone, int zone = 0) {
    ProjectionParams projection;
    projection.zoneWidth = width;
    projection.zone = zone;
    projection.zonePrefix = projection.autoZone = autoZone;
    return projection;
  }

  MessageRecorder recorder;
};

// Points over China and beyond, some near the edges of their zones.
const GeodeticPoint kPoints[] = {{31.5, 121.25, 10},     {39.9, 116.4, 50},  {22.3, 114.17, 0},
                                 {45.75, 126.63, 150},   {29.65, 91.1, 3650}, {36.06, 103.83, 1520},
                                 {18.25, 109.5, 5},      {30.0, 119.999, 0}, {30.0, 120.0, 0},
                                 {30.0, 118.501, 0},     {53.5, 122.4, 400}, {-33.87, 151.21, 20}};

// Each point in its own zone, against GeographicLib's transverse Mercator on
// the zone's central meridian with scale 1 and false easting 500 000 m.
TEST_F(PlaneProjectionTest, GaussKrugerZonesMatchGeographicLib) {
  for (const char* ellipsoidName : {"CGCS2000", "krass", "WGS84"}) {
    const Ellipsoid ellipsoid = Named(ellipsoidName);
    const GeographicLib::TransverseMercator reference(ellipsoid.figure().semiMajorAxis,
                                                      1 / ellipsoid.figure().inverseFlattening, 1);
    for (const auto& [width, system] : {std::pair{6, ZoneSystem::GaussKruger6}, {3, ZoneSystem::GaussKruger3}}) {
      const PlaneProjection projection = Make(GaussKruger(width, true), ellipsoidName);
      for (const GeodeticPoint& point : kPoints) {
        const int zone = ZoneOfLongitude(system, point.longitude);
        double x, y;
        reference.Forward(CentralMeridianOfZone(system, zone), point.latitude, point.longitude, x, y);
        PlanePoint plane;
        ASSERT_EQ(projection.Forward(point, plane), "") << point.longitude;
        EXPECT_NEAR(plane.north, y, 1e-6) << ellipsoidName << ' ' << width << "° " << point.longitude;
        EXPECT_NEAR(plane.east, zone * 1e6 + 500000 + x, 1e-6) << ellipsoidName << ' ' << width << "° "
                                                                << point.longitude;
        EXPECT_EQ(plane.height, point.height);
      }
    }
  }
}

TEST_F(PlaneProjectionTest, FixedZoneWithoutPrefix) {
  const PlaneProjection projection = Make(GaussKruger(6, false, 20));
  const GeographicLib::TransverseMercator reference(6378137, 1 / 298.257222101, 1);
  double x, y;
  reference.Forward(117, 31.5, 121.25, x, y);  // a point of zone 21, in zone 20
  PlanePoint plane;
  ASSERT_EQ(projection.Forward({31.5, 121.25, 0}, plane), "");
  EXPECT_NEAR(plane.north, y, 1e-6);
  EXPECT_NEAR(plane.east, 500000 + x, 1e-6);
  GeodeticPoint back;
  ASSERT_EQ(projection.Inverse(plane, back), "");
  EXPECT_NEAR(back.latitude, 31.5, 1e-10);
  EXPECT_NEAR(back.longitude, 121.25, 1e-10);
}

// UTM: scale 0.9996, and south of the equator a false northing of 10 000 km.
TEST_F(PlaneProjectionTest, UtmZonesMatchGeographicLib) {
  const GeographicLib::TransverseMercator reference(6378137, 1 / 298.257223563, 0.9996);
  ProjectionParams utm;
  utm.projKey = "utm";
  utm.zone = 51;
  double x, y;
  reference.Forward(123, 31.5, 121.25, x, y);
  PlanePoint plane;
  ASSERT_EQ(Make(utm, "WGS84").Forward({31.5, 121.25, 10}, plane), "");
  EXPECT_NEAR(plane.north, y, 1e-6);
  EXPECT_NEAR(plane.east, 500000 + x, 1e-6);

  utm.south = true;
  utm.zone = 56;
  reference.Forward(153, -33.87, 151.21, x, y);
  ASSERT_EQ(Make(utm, "WGS84").Forward({-33.87, 151.21, 20}, plane), "");
  EXPECT_NEAR(plane.north, 10000000 + y, 1e-6);
  EXPECT_NEAR(plane.east, 500000 + x, 1e-6);

  utm.zonePrefix = utm.autoZone = true;
  ASSERT_EQ(Make(utm, "WGS84").Forward({-33.87, 151.21, 20}, plane), "");
  EXPECT_NEAR(plane.east, 56e6 + 500000 + x, 1e-6);
}

// The prefixed easting names its zone: the way back needs no zone, whatever
// zone the record holds.
TEST_F(PlaneProjectionTest, PrefixedEastingRoundTripsWithoutNamingTheZone) {
  for (int width : {3, 6}) {
    const PlaneProjection forward = Make(GaussKruger(width, true));
    ProjectionParams backRecord = GaussKruger(width, false, 1);
    backRecord.zonePrefix = true;
    const PlaneProjection back = Make(backRecord);
    for (const GeodeticPoint& point : kPoints) {
      PlanePoint plane;
      GeodeticPoint again;
      ASSERT_EQ(forward.Forward(point, plane), "");
      ASSERT_EQ(back.Inverse(plane, again), "") << width << "° " << point.longitude;
      EXPECT_NEAR(again.latitude, point.latitude, 1e-10);
      EXPECT_NEAR(again.longitude, point.longitude, 1e-10);
      EXPECT_EQ(again.height, point.height);
    }
  }
}

TEST_F(PlaneProjectionTest, PrefixThatIsNoZoneIsRefused) {
  ProjectionParams record = GaussKruger(6, false, 20);
  record.zonePrefix = true;
  const PlaneProjection projection = Make(record);
  GeodeticPoint untouched{1, 2, 3};
  for (double east : {500000.0, -20500000.0, 61500000.0, 0.0}) {
    EXPECT_EQ(projection.Inverse({3487000, east, 0}, untouched), kZoneNumberWrong) << east;
  }
  EXPECT_EQ(untouched.latitude, 1);
  EXPECT_EQ(projection.Inverse({3487000, 60500000, 0}, untouched), "");
  EXPECT_EQ(Make(GaussKruger(3, true)).Inverse({3487000, 121500000, 0}, untouched), kZoneNumberWrong);
  EXPECT_EQ(Make(GaussKruger(3, true)).Inverse({3487000, 120500000, 0}, untouched), "");
}

// The second line of an inverse refusal says what is wrong with the plane
// point, in the terms it was typed in (a point north of the pole and one far
// east: PointConversionTest). The quarter meridian of CGCS2000 is
// 10 001.966 km; UTM scales it by 0.9996.
struct InverseRefusalCase {
  const char* what;
  ProjectionParams record;
  PlanePoint plane;
  const char* detail;
};

void PrintTo(const InverseRefusalCase& c, std::ostream* out) { *out << c.what; }

ProjectionParams Keyed(const char* projKey, int zone = 0) {
  ProjectionParams record;
  record.projKey = projKey;
  ProjectionDefaults(record);
  record.zone = zone;
  return record;
}

ProjectionParams Prefixed(ProjectionParams record, int width) {
  record.zoneWidth = width;
  record.zonePrefix = record.autoZone = true;
  return record;
}

ProjectionParams UtmSouth() {
  ProjectionParams record = Keyed("utm", 50);
  record.south = true;
  return record;
}

class InverseRefusals : public PlaneProjectionTest, public testing::WithParamInterface<InverseRefusalCase> {};

TEST_P(InverseRefusals, SayWhy) {
  const InverseRefusalCase& c = GetParam();
  const PlaneProjection projection = Make(c.record);
  GeodeticPoint untouched{1, 2, 3};
  EXPECT_EQ(projection.Inverse(c.plane, untouched).empty(), *c.detail == '\0');
  EXPECT_EQ(projection.InverseRefusalDetail(c.plane), c.detail);
}

INSTANTIATE_TEST_SUITE_P(
    PlanePoints, InverseRefusals,
    testing::Values(
        InverseRefusalCase{"converts", Keyed("tmerc"), {3487000, 500000, 0}, ""},
        // An easting without its prefix, and prefixes past the last zone.
        InverseRefusalCase{"no prefix", Prefixed(Keyed("tmerc"), 6), {3487000, 500000, 0},
                           "横坐标 y 的带号 0 不在 6° 带 1–60 之内"},
        InverseRefusalCase{"past 3°", Prefixed(Keyed("tmerc"), 3), {3487000, 121500000, 0},
                           "横坐标 y 的带号 121 不在 3° 带 1–120 之内"},
        InverseRefusalCase{"past UTM", Prefixed(Keyed("utm", 50), 0), {3487000, 61500000, 0},
                           "横坐标 y 的带号 61 不在 UTM 带 1–60 之内"},
        // Beyond the images of the poles.
        InverseRefusalCase{"south of the pole, UTM south", UtmSouth(), {-1000, 500000, 0},
                           "纵坐标 x -1 km 在南极 (2.035 km) 以南, 超出投影范围"},
        InverseRefusalCase{"south of the pole, prefixed", Prefixed(Keyed("tmerc"), 6), {-12000000, 21500000, 0},
                           "纵坐标 x -12000 km 在南极 (-10001.966 km) 以南, 超出投影范围"},
        // Far from the central meridian: counted from the meridian's easting.
        InverseRefusalCase{"far west", Keyed("utm", 50), {3000000, -8999999.6, 0},
                           "横坐标 y 距中央子午线 9500 km, 超出投影范围"},
        InverseRefusalCase{"Cassini's far side", Keyed("cass"), {0, 15000000, 0},
                           "横坐标 y 距中央子午线 15000 km, 超出投影范围"},
        // Beyond the antipode of an azimuthal projection's centre.
        InverseRefusalCase{"azimuthal", Keyed("laea"), {9000000, 12000000, 0},
                           "距投影原点 15000 km, 超出投影范围"}));

// An easting that leaves its zone's million metres could not carry the
// zone: refused rather than written wrong.
TEST_F(PlaneProjectionTest, PrefixedEastingOutsideItsMillionIsRefused) {
  ProjectionParams record = GaussKruger(6, false, 20);
  record.zonePrefix = true;
  PlanePoint plane{1, 2, 3};
  EXPECT_EQ(Make(record).Forward({10, 140, 0}, plane), kConversionFailed);
  EXPECT_EQ(plane.north, 1);
  record.zonePrefix = false;
  EXPECT_EQ(Make(record).Forward({10, 140, 0}, plane), "");
}

// A transverse plane folds back over the pole 90° from its central
// meridian: a plane point there has a second inverse and is refused. A
// Mercator has no far side.
TEST_F(PlaneProjectionTest, OnlyATransverseProjectionHasAFarSide) {
  ProjectionParams mercator;
  mercator.projKey = "merc";
  ProjectionDefaults(mercator);
  const PlaneProjection projection = Make(mercator, "WGS84");
  PlanePoint plane;
  GeodeticPoint back;
  ASSERT_EQ(projection.Forward({30, 117 + 100, 0}, plane), "");
  ASSERT_EQ(projection.Inverse(plane, back), "");
  EXPECT_NEAR(back.longitude, 217 - 360, 1e-9);

  const PlaneProjection transverse = Make(ProjectionParams{}, "WGS84");
  const std::optional<MapProjection> unchecked = MapProjection::FromDefinition(
      "+proj=tmerc +lat_0=0 +lon_0=120 +x_0=500000 +y_0=0 +k=1 +units=m +ellps=WGS84");
  ASSERT_TRUE(unchecked);
  ASSERT_TRUE(unchecked->Forward({30, 120 + 100, 0}, plane));
  EXPECT_EQ(transverse.Inverse(plane, back), kConversionFailed);
}

// PROJ's ellipsoidal Lambert azimuthal inverse is a series that misses by
// a millimetre 1500 km out; the way back is corrected onto the forward.
TEST_F(PlaneProjectionTest, InverseIsCorrectedOntoTheForward) {
  ProjectionParams azimuthal;
  azimuthal.projKey = "laea";
  ProjectionDefaults(azimuthal);
  const PlaneProjection projection = Make(azimuthal, "WGS84");
  const std::optional<MapProjection> uncorrected = MapProjection::FromDefinition(
      "+proj=laea +lat_0=35 +lon_0=105 +x_0=0 +y_0=0 +units=m +ellps=WGS84");
  ASSERT_TRUE(uncorrected);
  PlanePoint plane;
  GeodeticPoint byProj, back;
  ASSERT_EQ(projection.Forward({31.5, 121.25, 10}, plane), "");
  ASSERT_TRUE(uncorrected->Inverse(plane, byProj));
  EXPECT_GT(std::fabs(byProj.latitude - 31.5), 1e-9) << "PROJ became exact: the correction may go";
  ASSERT_EQ(projection.Inverse(plane, back), "");
  EXPECT_NEAR(back.latitude, 31.5, 1e-11);
  EXPECT_NEAR(back.longitude, 121.25, 1e-11);
}

double Distance(const PlanePoint& a, const PlanePoint& b) { return std::hypot(a.north - b.north, a.east - b.east); }

// The plane H metres above the ellipsoid: every distance in the plane grows
// by (a + H) / a, and the way back gives the same B and L.
TEST_F(PlaneProjectionTest, PlaneHeightScalesThePlane) {
  const double semiMajorAxis = 6378137, height = 1000;
  const GeodeticPoint first{31.5, 121.25, 0}, second{31.52, 121.27, 0};
  for (const char* key : {"tmerc", "lcc", "utm"}) {
    ProjectionParams record;
    record.projKey = key;
    ProjectionDefaults(record);
    if (std::string(key) == "utm") record.zone = 51;
    for (const char* ellipsoid : {"WGS84", "CGCS2000"}) {
      const PlaneProjection onEllipsoid = Make(record, ellipsoid);
      record.surfaceHeight = 1000;
      const PlaneProjection raised = Make(record, ellipsoid);
      record.surfaceHeight = std::nullopt;
      PlanePoint a, b, raisedA, raisedB;
      ASSERT_EQ(onEllipsoid.Forward(first, a), "");
      ASSERT_EQ(onEllipsoid.Forward(second, b), "");
      ASSERT_EQ(raised.Forward(first, raisedA), "");
      ASSERT_EQ(raised.Forward(second, raisedB), "");
      EXPECT_NEAR(Distance(raisedA, raisedB) / Distance(a, b), (semiMajorAxis + height) / semiMajorAxis, 1e-12)
          << key << ' ' << ellipsoid;
      EXPECT_GT(Distance(a, raisedA), 1) << "the plane moved";
      GeodeticPoint back;
      ASSERT_EQ(raised.Inverse(raisedB, back), "");
      EXPECT_NEAR(back.latitude, second.latitude, 1e-10);
      EXPECT_NEAR(back.longitude, second.longitude, 1e-10);
    }
  }
}

// No height and a height of 0 are the same projection as before heights.
TEST_F(PlaneProjectionTest, PlaneHeightZeroChangesNothing) {
  ProjectionParams record;
  const PlaneProjection none = Make(record, "WGS84");
  record.surfaceHeight = 0;
  const PlaneProjection zero = Make(record, "WGS84");
  const std::optional<MapProjection> before =
      MapProjection::FromDefinition("+proj=tmerc +lat_0=0.000 +lon_0=120.000 +x_0=500000.000 +y_0=0.000 +k=1.000 "
                                    "+units=m +ellps=WGS84");
  ASSERT_TRUE(before);
  for (const GeodeticPoint& point : kPoints) {
    PlanePoint expected, fromNone, fromZero;
    if (!before->Forward(point, expected)) continue;
    ASSERT_EQ(none.Forward(point, fromNone), "");
    ASSERT_EQ(zero.Forward(point, fromZero), "");
    EXPECT_EQ(fromNone.north, expected.north);
    EXPECT_EQ(fromNone.east, expected.east);
    EXPECT_EQ(fromZero.north, expected.north);
    EXPECT_EQ(fromZero.east, expected.east);
  }
}

TEST_F(PlaneProjectionTest, RefusesWhatItCannotComputeAsItSays) {
  const Ellipsoid ellipsoid = Named("WGS84");
  ProjectionParams record;
  record.projKey = "aitoff";
  EXPECT_FALSE(PlaneProjection::Make(record, ellipsoid));
  record = GaussKruger(6, false, 0);  // no zone, and no zone of its own for each point
  EXPECT_FALSE(PlaneProjection::Make(record, ellipsoid));
  record.autoZone = true;  // without the prefix a line could not say its zone
  EXPECT_FALSE(PlaneProjection::Make(record, ellipsoid));
}

// The plan refuses an unsupported projection before any point: no fallback.
TEST_F(PlaneProjectionTest, PlanRefusesAnUnsupportedProjection) {
  CoordSettings settings;
  settings.sourceType = CoordinateType::LB;
  settings.targetType = CoordinateType::Plan;
  settings.projection.projKey = "robin";
  settings.projection.description = "Robinson";
  std::optional<ConversionPlan> plan;
  EXPECT_EQ(ConversionPlan::FromSettings(settings, plan).reason, RefusalReason::Projection);
  settings.sourceType = CoordinateType::Plan;
  settings.targetType = CoordinateType::LB;
  EXPECT_EQ(ConversionPlan::FromSettings(settings, plan).reason, RefusalReason::Projection);
  EXPECT_FALSE(plan);
}

// Copies used on threads at once, each making the zones it meets, agree
// with one copy used alone.
TEST_F(PlaneProjectionTest, CopiesOnThreadsMakeTheirOwnZones) {
  const PlaneProjection original = Make(GaussKruger(3, true));
  std::vector<GeodeticPoint> points;
  for (int i = 0; i < 400; ++i) points.push_back({20 + 0.05 * i, 75 + 0.15 * i, 0});
  std::vector<PlanePoint> alone(points.size());
  PlaneProjection single = original;
  for (std::size_t i = 0; i < points.size(); ++i) ASSERT_EQ(single.Forward(points[i], alone[i]), "");

  std::vector<std::vector<PlanePoint>> results(4, std::vector<PlanePoint>(points.size()));
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < results.size(); ++t) {
    threads.emplace_back([&, t, copy = original]() {
      for (std::size_t n = 0; n < points.size(); ++n) {
        const std::size_t i = t % 2 ? points.size() - 1 - n : n;  // half of them backwards
        if (!copy.Forward(points[i], results[t][i]).empty()) results[t][i] = {};
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::vector<PlanePoint>& result : results) {
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_EQ(result[i].north, alone[i].north);
      EXPECT_EQ(result[i].east, alone[i].east);
    }
  }
}

}  // namespace
}  // namespace tarnwell
