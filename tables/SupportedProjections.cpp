#include "tables/SupportedProjections.h"

#include <algorithm>


namespace tarnwell {
namespace {

using P = ProjectionParams;

// The record's fields as PROJ's parameters.
constexpr ProjParameter Lat0(double value) { return {&P::originLatitude, "lat_0", value}; }
constexpr ProjParameter LatTs(double value) { return {&P::originLatitude, "lat_ts", value}; }
constexpr ProjParameter Lat1(double value) { return {&P::latitude1, "lat_1", value}; }
constexpr ProjParameter Lat2(double value) { return {&P::latitude2, "lat_2", value}; }
constexpr ProjParameter Lon0(double value) { return {&P::centralMeridian, "lon_0", value}; }
constexpr ProjParameter X0(double value) { return {&P::falseEasting, "x_0", value}; }
constexpr ProjParameter Y0(double value) { return {&P::falseNorthing, "y_0", value}; }
constexpr ProjParameter K(double value) { return {&P::scaleFactor, "k", value}; }

// Defaults for China: transverse Mercator and Mercator at 117° as the
// catalogue always had them; the conics on China's usual standard parallels
// 25° and 47° about 105°; the azimuthal projections centred at 35°N 105°E.
constexpr ProjParameter kTransverseMercator[] = {Lat0(0), Lon0(117), X0(500000), Y0(0),
                                                 K(1)};
constexpr ProjParameter kMercator[] = {LatTs(39), Lon0(117), X0(0), Y0(0)};
constexpr ProjParameter kWebMercator[] = {Lon0(0), X0(0), Y0(0)};
constexpr ProjParameter kConic[] = {Lat0(0),   Lat1(25), Lat2(47),
                                    Lon0(105), X0(0),    Y0(0)};
constexpr ProjParameter kEquidistantCylindrical[] = {LatTs(0), Lon0(105), X0(0), Y0(0)};
constexpr ProjParameter kOnEquator[] = {Lat0(0), Lon0(105), X0(0), Y0(0)};
constexpr ProjParameter kPolarStereographic[] = {Lat0(90), Lon0(105), X0(0), Y0(0),
                                                 K(1)};
constexpr ProjParameter kObliqueStereographic[] = {Lat0(35), Lon0(105), X0(0), Y0(0),
                                                   K(1)};
constexpr ProjParameter kAzimuthal[] = {Lat0(35), Lon0(105), X0(0), Y0(0)};

constexpr int kUtmDefaultZone = 50;  // 114°E to 120°E

// In the order of the keys.
constexpr SupportedProjection kSupported[] = {
    {"aea", "阿尔伯斯等积圆锥投影", kConic, ZoneScheme::None, 0, false},
    {"aeqd", "等距方位投影", kAzimuthal, ZoneScheme::None, 0, false},
    {"cass", "卡西尼投影", kOnEquator, ZoneScheme::None, 0, true},
    {"eqc", "等距圆柱投影", kEquidistantCylindrical, ZoneScheme::None, 0, false},
    {"eqdc", "等距圆锥投影", kConic, ZoneScheme::None, 0, false},
    {"etmerc", "扩展横轴墨卡托投影", kTransverseMercator, ZoneScheme::GaussKruger, 0, true},
    {"laea", "兰勃特等积方位投影", kAzimuthal, ZoneScheme::None, 0, false},
    {"lcc", "兰勃特等角圆锥投影", kConic, ZoneScheme::None, 0, false},
    {"merc", "墨卡托投影", kMercator, ZoneScheme::None, 0, false},
    {"poly", "多圆锥投影", kOnEquator, ZoneScheme::None, 0, false},
    {"stere", "球面投影 (极射赤面投影)", kPolarStereographic, ZoneScheme::None, 0, false},
    {"sterea", "斜轴球面投影", kObliqueStereographic, ZoneScheme::None, 0, false},
    {"tmerc", "横轴墨卡托投影 (高斯-克吕格)", kTransverseMercator, ZoneScheme::GaussKruger, 0, true},
    {"utm", "通用横轴墨卡托投影 (UTM)", {}, ZoneScheme::Utm, kUtmDefaultZone, true},
    {"webmerc", "Web 墨卡托投影", kWebMercator, ZoneScheme::None, 0, false},
};

bool ValidZone(ZoneSystem system, int zone) { return zone >= 1 && zone <= ZoneCount(system); }

}  // namespace

std::span<const SupportedProjection> SupportedProjections() { return kSupported; }

const SupportedProjection* FindSupportedProjection(std::string_view key) {
  const auto found = std::find_if(std::begin(kSupported), std::end(kSupported),
                                  [key](const SupportedProjection& projection) { return projection.key == key; });
  return found == std::end(kSupported) ? nullptr : found;
}

bool IsTransverseMercator(std::string_view projKey) {
  return projKey == "tmerc" || projKey == "etmerc" || projKey == "utm";
}

std::optional<ZoneSystem> ZoneSystemOf(const ProjectionParams& projection) {
  const SupportedProjection* supported = FindSupportedProjection(projection.projKey);
  if (!supported) return std::nullopt;
  if (supported->zones == ZoneScheme::Utm) return ZoneSystem::Utm;
  if (supported->zones == ZoneScheme::GaussKruger) {
    if (projection.zoneWidth == 3) return ZoneSystem::GaussKruger3;
    if (projection.zoneWidth == 6) return ZoneSystem::GaussKruger6;
  }
  return std::nullopt;
}

bool ZoneChoiceValid(const ProjectionParams& projection) {
  const SupportedProjection* supported = FindSupportedProjection(projection.projKey);
  if (!supported) return false;
  const bool widthFits = projection.zoneWidth == 0 ||
                         (supported->zones == ZoneScheme::GaussKruger &&
                          (projection.zoneWidth == 3 || projection.zoneWidth == 6));
  if (!widthFits || (projection.south && supported->zones != ZoneScheme::Utm)) return false;
  const std::optional<ZoneSystem> system = ZoneSystemOf(projection);
  if (!system) return !projection.zonePrefix && !projection.autoZone;
  if (projection.autoZone) return projection.zonePrefix && (projection.zone == 0 || ValidZone(*system, projection.zone));
  return ValidZone(*system, projection.zone);
}

bool UsesParameter(const ProjectionParams& projection, ProjectionParameter field) {
  const SupportedProjection* supported = FindSupportedProjection(projection.projKey);
  if (!supported) return false;
  if (field == &ProjectionParams::surfaceHeight) return true;
  if (ZoneSystemOf(projection)) return false;
  return std::any_of(supported->parameters.begin(), supported->parameters.end(),
                     [field](const ProjParameter& parameter) { return parameter.field == field; });
}

double PlaneHeight(const ProjectionParams& projection) { return projection.surfaceHeight.value_or(0); }

}  // namespace tarnwell
