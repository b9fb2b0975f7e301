// Zones of Gauss-Krüger and UTM, and the table of supported projections:
// which record fields a projection takes and which zone choices fit it.
#include <gtest/gtest.h>

#include <cmath>

#include "tables/ProjectionCatalogue.h"
#include "tables/SupportedProjections.h"

namespace tarnwell {
namespace {

struct ZoneCase {
  ZoneSystem system;
  double longitude;
  int zone;
  double centralMeridian;
};

TEST(ProjectionZones, ZoneOfALongitude) {
  const ZoneCase cases[] = {
      {ZoneSystem::GaussKruger6, 117.3, 20, 117},  {ZoneSystem::GaussKruger3, 117.3, 39, 117},
      {ZoneSystem::Utm, 117.3, 50, 117},           {ZoneSystem::GaussKruger6, 120, 21, 123},
      {ZoneSystem::GaussKruger6, 119.999, 20, 117}, {ZoneSystem::GaussKruger3, 118.5, 40, 120},
      {ZoneSystem::GaussKruger3, 118.499, 39, 117}, {ZoneSystem::GaussKruger6, 0, 1, 3},
      {ZoneSystem::GaussKruger6, 359.5, 60, 357},  {ZoneSystem::GaussKruger6, -2, 60, 357},
      {ZoneSystem::GaussKruger3, 1.5, 1, 3},       {ZoneSystem::GaussKruger3, 1.4, 120, 360},
      {ZoneSystem::GaussKruger3, 0, 120, 360},     {ZoneSystem::GaussKruger3, 358.5, 120, 360},
      {ZoneSystem::GaussKruger3, 358.4, 119, 357}, {ZoneSystem::GaussKruger6, 477.3, 20, 117},
      {ZoneSystem::Utm, -180, 1, -177},            {ZoneSystem::Utm, 180, 1, -177},
      {ZoneSystem::Utm, 179.9, 60, 177},           {ZoneSystem::Utm, -0.1, 30, -3},
      {ZoneSystem::Utm, 0, 31, 3},                 {ZoneSystem::Utm, -70.25, 19, -69},
  };
  for (const ZoneCase& c : cases) {
    EXPECT_EQ(ZoneOfLongitude(c.system, c.longitude), c.zone) << c.longitude;
    EXPECT_EQ(CentralMeridianOfZone(c.system, c.zone), c.centralMeridian) << c.longitude;
  }
}

// Every longitude lies in a zone whose central meridian is at most half a
// zone away, and the zones are numbered within their count.
TEST(ProjectionZones, EveryLongitudeLiesWithinHalfAZoneOfItsMeridian) {
  for (ZoneSystem system : {ZoneSystem::GaussKruger3, ZoneSystem::GaussKruger6, ZoneSystem::Utm}) {
    const double halfWidth = system == ZoneSystem::GaussKruger3 ? 1.5 : 3;
    for (double longitude = -540; longitude <= 540; longitude += 0.0625) {
      const int zone = ZoneOfLongitude(system, longitude);
      ASSERT_GE(zone, 1) << longitude;
      ASSERT_LE(zone, ZoneCount(system)) << longitude;
      const double gap = std::remainder(longitude - CentralMeridianOfZone(system, zone), 360.0);
      ASSERT_GE(gap, -halfWidth) << longitude;
      ASSERT_LT(gap, halfWidth) << longitude;
    }
    // Any number a longitude text may hold still falls in a zone.
    for (double longitude : {1e300, -1e300, 1e15 + 0.3, -1e-300, -1e-20, 359.99999999999999}) {
      EXPECT_GE(ZoneOfLongitude(system, longitude), 1) << longitude;
      EXPECT_LE(ZoneOfLongitude(system, longitude), ZoneCount(system)) << longitude;
    }
  }
}

using Parameter = std::optional<double>;

// The eight parameters in field order.
std::vector<Parameter> Parameters(const ProjectionParams& entry) {
  return {entry.centralMeridian, entry.scaleFactor, entry.falseNorthing, entry.falseEasting,
          entry.originLatitude,  entry.latitude1,   entry.latitude2,     entry.surfaceHeight};
}

TEST(SupportedProjections, CatalogueDefaultsFollowTheKey) {
  const std::vector<Parameter> allUnused(8, std::nullopt);
  const std::pair<const char*, std::vector<Parameter>> cases[] = {
      {"tmerc", {117, 1, 0, 500000, 0, std::nullopt, std::nullopt, std::nullopt}},
      {"merc", {117, std::nullopt, 0, 0, 39, std::nullopt, std::nullopt, std::nullopt}},
      {"lcc", {105, std::nullopt, 0, 0, 0, 25, 47, std::nullopt}},
      {"aea", {105, std::nullopt, 0, 0, 0, 25, 47, std::nullopt}},
      {"utm", allUnused},
      {"aitoff", allUnused},
      {"Tmerc", allUnused},
  };
  for (const auto& [key, parameters] : cases) {
    ProjectionParams entry;
    entry.projKey = key;
    entry.zoneWidth = 6;
    entry.autoZone = entry.zonePrefix = true;
    ProjectionDefaults(entry);
    EXPECT_EQ(Parameters(entry), parameters) << key;
    EXPECT_EQ(entry.zone, std::string(key) == "utm" ? 50 : 0) << key;
    EXPECT_EQ(entry.zoneWidth, 0) << key;
    EXPECT_FALSE(entry.zonePrefix || entry.autoZone || entry.south) << key;
  }
}

// Each supported projection's defaults make a record it accepts as it is.
TEST(SupportedProjections, DefaultsAreComplete) {
  for (const SupportedProjection& supported : SupportedProjections()) {
    ProjectionParams entry;
    entry.projKey = supported.key;
    ProjectionDefaults(entry);
    EXPECT_TRUE(ZoneChoiceValid(entry)) << supported.key;
    for (const ProjParameter& parameter : supported.parameters)
      EXPECT_TRUE(entry.*parameter.field) << supported.key << ' ' << parameter.projName;
  }
  EXPECT_EQ(SupportedProjections().size(), 15u);
}

struct ZoneChoiceCase {
  const char* key;
  int zoneWidth, zone;
  bool prefix, autoZone, south;
  bool valid;
};

TEST(SupportedProjections, ZoneChoiceMustFitTheProjection) {
  const ZoneChoiceCase cases[] = {
      {"tmerc", 0, 0, false, false, false, true},   {"tmerc", 6, 20, false, false, false, true},
      {"etmerc", 3, 120, true, false, false, true}, {"tmerc", 3, 121, false, false, false, false},
      {"tmerc", 6, 61, false, false, false, false}, {"tmerc", 6, 0, false, false, false, false},
      {"tmerc", 6, 0, true, true, false, true},     {"tmerc", 6, 20, false, true, false, false},
      {"tmerc", 4, 20, false, false, false, false}, {"tmerc", 0, 20, false, false, true, false},
      {"tmerc", 0, 0, true, false, false, false},   {"lcc", 6, 20, false, false, false, false},
      {"lcc", 0, 0, true, true, false, false},      {"utm", 0, 51, false, false, true, true},
      {"utm", 0, 60, true, true, false, true},      {"utm", 0, 0, false, false, false, false},
      {"utm", 6, 51, false, false, false, false},   {"aitoff", 0, 0, false, false, false, false},
  };
  for (const ZoneChoiceCase& c : cases) {
    ProjectionParams projection;
    projection.projKey = c.key;
    projection.zoneWidth = c.zoneWidth;
    projection.zone = c.zone;
    projection.zonePrefix = c.prefix;
    projection.autoZone = c.autoZone;
    projection.south = c.south;
    EXPECT_EQ(ZoneChoiceValid(projection), c.valid)
        << c.key << " width " << c.zoneWidth << " zone " << c.zone << " prefix " << c.prefix << " auto "
        << c.autoZone << " south " << c.south;
  }
}

TEST(SupportedProjections, UsedParametersFollowTheProjectionAndItsZones) {
  using P = ProjectionParams;
  const auto used = [](const ProjectionParams& projection) {
    std::string letters;
    for (auto [field, letter] : {std::pair{&P::centralMeridian, 'L'}, {&P::scaleFactor, 'k'}, {&P::falseNorthing, 'N'},
                                 {&P::falseEasting, 'E'}, {&P::originLatitude, 'B'}, {&P::latitude1, '1'},
                                 {&P::latitude2, '2'}, {&P::surfaceHeight, 'H'}}) {
      if (UsesParameter(projection, field)) letters += letter;
    }
    return letters;
  };
  ProjectionParams projection;
  EXPECT_EQ(used(projection), "LkNEBH");
  projection.zoneWidth = 6;
  projection.zone = 20;
  EXPECT_EQ(used(projection), "H");
  projection.projKey = "lcc";
  projection.zoneWidth = 0;
  EXPECT_EQ(used(projection), "LNEB12H");
  projection.projKey = "merc";
  EXPECT_EQ(used(projection), "LNEBH");
  projection.projKey = "webmerc";
  EXPECT_EQ(used(projection), "LNEH");
  projection.projKey = "utm";
  EXPECT_EQ(used(projection), "H");
  projection.projKey = "aitoff";
  EXPECT_EQ(used(projection), "");
}

TEST(SupportedProjections, PlaneHeightIsZeroWhereNoneIsGiven) {
  ProjectionParams projection;
  EXPECT_EQ(PlaneHeight(projection), 0);
  projection.surfaceHeight = 1250.5;
  EXPECT_EQ(PlaneHeight(projection), 1250.5);
}

}  // namespace
}  // namespace tarnwell
