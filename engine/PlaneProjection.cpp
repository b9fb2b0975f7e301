#include "engine/PlaneProjection.h"

#include <cmath>

#include "engine/Refusal.h"
#include "tables/NumberText.h"
#include "tables/SupportedProjections.h"

namespace tarnwell {
namespace {

// PROJ's transverse Mercator (tmerc, etmerc and utm share one series) holds
// only so far from the central meridian. Against GeographicLib's
// TransverseMercatorExact (WGS84, krass and clrk80, k 1 and 0.9996,
// latitudes -89.9° to 89.9° and offsets to 90° by 0.1°) its forward stays
// within 1 mm up to 67.5° from the meridian (1.2 mm at 68°, 138 m at 80°,
// then no answer or kilometres astray) and its inverse, by round trip to
// the exact forward, up to 71.9°. Within 60° the forward is good to
// 1.3e-5 m and the inverse to 6e-7 m: points farther out are refused both
// ways. The way back allows a hair more, so the inverse of a point the
// forward gave on the edge, which lands up to 5e-12° beyond it, still goes.
constexpr double kTransverseMercatorBand = 60;  // degrees either side of the central meridian
constexpr double kBandEdgeAllowance = 1e-9;     // degrees

// An inverse is projected forward again to confirm it, except where PROJ's
// inverse is measured exact: for the transverse Mercator family within this
// band, where it lies within 7.5e-9 m of TransverseMercatorExact's and its
// round trip through PROJ's forward closes within 4e-9 m (the scan above).
// Plane points beyond the images of the poles are confirmed too: there the
// inverse repeats itself every meridian's length and lands in the band
// again. Every other projection is always confirmed: near the meridian of
// an azimuthal one is not near its centre.
constexpr double kTrustedLongitudeBand = 4;   // degrees either side of the central meridian
constexpr double kTrustedLatitudeLimit = 85;  // degrees

// Beyond 90° from the central meridian of a transverse projection (the
// Cassini; the transverse Mercator stops sooner) lies the far side of the
// earth, where its plane folds back over the pole: no survey is there.
constexpr double kFarSide = 90;  // degrees from the central meridian

// PROJ's inverses of some projections are series good to a few millimetres
// (the ellipsoidal Lambert azimuthal equal-area one misses by 1.6 mm 1600 km
// from its centre): a confirmed inverse that misses its plane point by more
// than a micrometre is corrected by Newton's method on the forward
// projection, and refused if it still misses by more than a millimetre.
constexpr double kExactEnough = 1e-6;          // metres
constexpr double kRoundTripTolerance = 0.001;  // metres
constexpr int kNewtonSteps = 3;
constexpr double kDifferenceStep = 1e-6;  // degrees, for the partial derivatives

// The miss of the forward projection of `inverse` from `plane`.
struct Miss {
  double north, east;
  double Length() const { return std::hypot(north, east); }
};

bool MissOf(const MapProjection& projection, const GeodeticPoint& inverse, const PlanePoint& plane, Miss& miss) {
  PlanePoint again;
  if (!projection.Forward(inverse, again)) return false;
  miss = {plane.north - again.north, plane.east - again.east};
  return true;
}

// One Newton step on the forward projection, its partial derivatives by
// differences: moves `inverse` to where `miss` would vanish.
bool NewtonStep(const MapProjection& projection, const Miss& miss, GeodeticPoint& inverse) {
  PlanePoint here, northward, eastward;
  const double latitudeStep = inverse.latitude > 0 ? -kDifferenceStep : kDifferenceStep;  // away from the pole
  if (!projection.Forward(inverse, here) ||
      !projection.Forward({inverse.latitude + latitudeStep, inverse.longitude, inverse.height}, northward) ||
      !projection.Forward({inverse.latitude, inverse.longitude + kDifferenceStep, inverse.height}, eastward))
    return false;
  const double northPerLatitude = (northward.north - here.north) / latitudeStep;
  const double eastPerLatitude = (northward.east - here.east) / latitudeStep;
  const double northPerLongitude = (eastward.north - here.north) / kDifferenceStep;
  const double eastPerLongitude = (eastward.east - here.east) / kDifferenceStep;
  const double determinant = northPerLatitude * eastPerLongitude - northPerLongitude * eastPerLatitude;
  if (!std::isfinite(determinant) || determinant == 0) return false;
  inverse.latitude += (miss.north * eastPerLongitude - miss.east * northPerLongitude) / determinant;
  inverse.longitude += (northPerLatitude * miss.east - eastPerLatitude * miss.north) / determinant;
  return true;
}

// True when `inverse`, corrected where it misses, projects back onto `plane`.
bool ConfirmInverse(const MapProjection& projection, const PlanePoint& plane, GeodeticPoint& inverse) {
  Miss miss;
  if (!MissOf(projection, inverse, plane, miss)) return false;
  for (int step = 0; step < kNewtonSteps && miss.Length() > kExactEnough; ++step) {
    GeodeticPoint corrected = inverse;
    Miss correctedMiss;
    if (!NewtonStep(projection, miss, corrected) || !MissOf(projection, corrected, plane, correctedMiss) ||
        correctedMiss.Length() >= miss.Length())
      break;
    inverse = corrected;
    miss = correctedMiss;
  }
  return miss.Length() <= kRoundTripTolerance;
}

// The difference of two longitudes, folded into [0°, 180°].
double LongitudeGap(double longitude, double meridian) {
  return std::fabs(std::remainder(longitude - meridian, 360.0));
}

std::string_view ZoneSystemName(ZoneSystem system) {
  switch (system) {
    case ZoneSystem::GaussKruger3: return "3° 带";
    case ZoneSystem::GaussKruger6: return "6° 带";
    case ZoneSystem::Utm: return "UTM 带";
  }
  return {};
}

// "纵坐标 x 20000 km 在北极 (10001.966 km) 以北, 超出投影范围".
std::string BeyondPoleDetail(double north, double poleNorth, std::string_view pole, std::string_view beyond) {
  std::string text = "纵坐标 x " + KilometresText(north) + " 在";
  text += pole;
  text += " (" + KilometresText(poleNorth) + ") ";
  text += beyond;
  return text + ", 超出投影范围";
}

}  // namespace

PlaneProjection::PlaneProjection(const ProjectionParams& projection, std::string ellipsoidDefinition)
    : record_(projection),
      ellipsoidDefinition_(std::move(ellipsoidDefinition)),
      transverse_(FindSupportedProjection(projection.projKey)->transverse),
      zoneSystem_(ZoneSystemOf(projection)),
      zones_(zoneSystem_ ? ZoneCount(*zoneSystem_) + 1 : 1) {}

std::optional<PlaneProjection> PlaneProjection::Make(const ProjectionParams& projection, const Ellipsoid& ellipsoid) {
  if (!FindSupportedProjection(projection.projKey) || !ZoneChoiceValid(projection)) return std::nullopt;
  const double planeHeight = PlaneHeight(projection);
  std::string ellipsoidDefinition;
  AppendProjEllipsoid(ellipsoidDefinition, ellipsoid.figure(), planeHeight);
  PlaneProjection made(projection, std::move(ellipsoidDefinition));
  // The zone in force, or for points each in their own zone the first: a
  // projection PROJ refuses is refused before any point.
  const int firstZone = !made.zoneSystem_ ? 0 : projection.zone != 0 ? projection.zone : 1;
  if (!made.InZone(firstZone)) return std::nullopt;
  return made;
}

const PlaneProjection::ZoneProjection* PlaneProjection::InZone(int zone) const {
  std::optional<ZoneProjection>& slot = zones_[zone];
  if (slot) return &*slot;
  ProjectionParams inZone = record_;
  inZone.zone = zone;
  std::string definition;
  if (!AppendProjDefinition(definition, inZone)) return nullptr;
  definition += ellipsoidDefinition_;
  std::optional<MapProjection> projection = MapProjection::FromDefinition(definition);
  if (!projection) return nullptr;
  std::optional<double> centralMeridian;
  if (zoneSystem_) {
    centralMeridian = CentralMeridianOfZone(*zoneSystem_, zone);
  } else if (UsesParameter(record_, &ProjectionParams::centralMeridian)) {
    centralMeridian = record_.centralMeridian;
  }
  std::optional<double> meridianEasting;
  if (transverse_ && centralMeridian) {
    PlanePoint onMeridian;
    if (!projection->Forward({0, *centralMeridian, 0}, onMeridian)) return nullptr;
    meridianEasting = onMeridian.east;
  }
  std::optional<std::pair<double, double>> poleNorthings;
  if (IsTransverseMercator(record_.projKey)) {
    PlanePoint southPole, northPole;
    if (!centralMeridian || !projection->Forward({-90, *centralMeridian, 0}, southPole) ||
        !projection->Forward({90, *centralMeridian, 0}, northPole))
      return nullptr;
    poleNorthings = {southPole.north, northPole.north};
  }
  slot = ZoneProjection{std::move(*projection), centralMeridian, meridianEasting, poleNorthings};
  return &*slot;
}

std::optional<int> PlaneProjection::TakeZone(PlanePoint& plane) const {
  if (!record_.zonePrefix) return zoneSystem_ ? record_.zone : 0;
  const double prefix = std::floor(plane.east / kZonePrefixUnit);
  if (!(prefix >= 1 && prefix <= ZoneCount(*zoneSystem_))) return std::nullopt;
  plane.east -= prefix * kZonePrefixUnit;
  return static_cast<int>(prefix);
}

std::string PlaneProjection::ZonePrefixDetail(double east) const {
  std::string text = "横坐标 y 的带号 " + ShortNumberText(std::floor(east / kZonePrefixUnit)) + " 不在 ";
  text += ZoneSystemName(*zoneSystem_);
  text += " 1–" + std::to_string(ZoneCount(*zoneSystem_)) + " 之内";
  return text;
}

int PlaneProjection::ForwardZone(const GeodeticPoint& geodetic) const {
  return !zoneSystem_ ? 0 : record_.autoZone ? ZoneOfLongitude(*zoneSystem_, geodetic.longitude) : record_.zone;
}

std::string PlaneProjection::ForwardRefusalDetail(const GeodeticPoint& geodetic) const {
  if (!(std::fabs(geodetic.latitude) <= 90)) return LatitudeRangeDetail(geodetic.latitude);
  const ZoneProjection* projection = InZone(ForwardZone(geodetic));
  if (!projection || WithinTransverseMercatorBand(*projection, geodetic.longitude, kTransverseMercatorBand)) return {};
  return "距中央子午线 " + DegreesText(std::fabs(geodetic.longitude - *projection->centralMeridian)) + ", 超出投影范围";
}

std::string_view PlaneProjection::Forward(const GeodeticPoint& geodetic, PlanePoint& plane) const {
  const int zone = ForwardZone(geodetic);
  const ZoneProjection* projection = InZone(zone);
  PlanePoint projected;
  if (!projection || !WithinTransverseMercatorBand(*projection, geodetic.longitude, kTransverseMercatorBand) ||
      !projection->projection.Forward(geodetic, projected))
    return kConversionFailed;
  if (record_.zonePrefix) {
    // Only an easting within the zone's million metres can carry its zone.
    if (!(projected.east >= 0 && projected.east < kZonePrefixUnit)) return kConversionFailed;
    projected.east += zone * kZonePrefixUnit;
  }
  plane = projected;
  return {};
}

std::string_view PlaneProjection::Inverse(const PlanePoint& plane, GeodeticPoint& geodetic) const {
  PlanePoint inZone = plane;
  const std::optional<int> zone = TakeZone(inZone);
  if (!zone) return kZoneNumberWrong;
  const ZoneProjection* projection = InZone(*zone);
  if (!projection) return kConversionFailed;

  GeodeticPoint inverse;
  if (!projection->projection.Inverse(inZone, inverse)) return kConversionFailed;
  const std::optional<double>& meridian = projection->centralMeridian;
  if (transverse_ && meridian && LongitudeGap(inverse.longitude, *meridian) > kFarSide) return kConversionFailed;
  if (!InverseTrusted(*projection, inZone, inverse) && !ConfirmInverse(projection->projection, inZone, inverse))
    return kConversionFailed;
  // Checked on the confirmed point: Newton may have moved it out.
  if (!WithinTransverseMercatorBand(*projection, inverse.longitude, kTransverseMercatorBand + kBandEdgeAllowance))
    return kConversionFailed;
  geodetic = inverse;
  return {};
}

std::string PlaneProjection::InverseRefusalDetail(const PlanePoint& plane) const {
  GeodeticPoint converted;
  if (Inverse(plane, converted).empty()) return {};
  PlanePoint inZone = plane;
  const std::optional<int> zone = TakeZone(inZone);
  if (!zone) return ZonePrefixDetail(plane.east);
  const ZoneProjection* projection = InZone(*zone);
  if (!projection) return {};
  if (projection->poleNorthings) {
    const auto [southPole, northPole] = *projection->poleNorthings;
    if (inZone.north > northPole) return BeyondPoleDetail(inZone.north, northPole, "北极", "以北");
    if (inZone.north < southPole) return BeyondPoleDetail(inZone.north, southPole, "南极", "以南");
  }
  if (projection->meridianEasting) {
    return "横坐标 y 距中央子午线 " + KilometresText(std::fabs(inZone.east - *projection->meridianEasting)) +
           ", 超出投影范围";
  }
  const double fromOrigin = std::hypot(inZone.east - record_.falseEasting.value_or(0),
                                       inZone.north - record_.falseNorthing.value_or(0));
  return "距投影原点 " + KilometresText(fromOrigin) + ", 超出投影范围";
}

bool PlaneProjection::InverseTrusted(const ZoneProjection& zone, const PlanePoint& plane,
                                     const GeodeticPoint& inverse) {
  if (!zone.poleNorthings) return false;
  const auto [southPole, northPole] = *zone.poleNorthings;
  return plane.north >= southPole && plane.north <= northPole &&
         LongitudeGap(inverse.longitude, *zone.centralMeridian) <= kTrustedLongitudeBand &&
         std::fabs(inverse.latitude) <= kTrustedLatitudeLimit;
}

bool PlaneProjection::WithinTransverseMercatorBand(const ZoneProjection& zone, double longitude, double band) {
  return !zone.poleNorthings || LongitudeGap(longitude, *zone.centralMeridian) <= band;
}

}  // namespace tarnwell
