// The map projection of the "Plan" coordinates of a conversion, as the
// projection record describes it: on the source ellipsoid enlarged by the
// projection-plane height, in one zone or in each point's own, with the
// easting prefixed by the zone number where the record asks for it.
//
// A zoned projection makes the PROJ projection of a zone the first time a
// point needs it and keeps it. The cache is the object's own, so a
// PlaneProjection, like the conversion plan that holds it, is not shared
// between threads: each thread converts with its own copy.
#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Ellipsoid.h"
#include "engine/Points.h"
#include "engine/ProjBridge.h"
#include "tables/ProjectionZones.h"

namespace tarnwell {

// A point PROJ has no answer for, or whose answer would be no answer.
constexpr std::string_view kConversionFailed = "坐标转换失败,请检查.";
// A prefixed easting whose prefix is no zone of the projection.
constexpr std::string_view kZoneNumberWrong = "坐标带号错误,请检查.";

class PlaneProjection {
 public:
  // The projection of the record on the ellipsoid; nullopt when the record
  // does not describe a supported projection with numbers for the
  // parameters it uses, or PROJ refuses it. The caller reports it.
  static std::optional<PlaneProjection> Make(const ProjectionParams& projection, const Ellipsoid& ellipsoid);

  // Each gives an empty text when it converted the point, otherwise the
  // message (and leaves the result as it was).
  std::string_view Forward(const GeodeticPoint& geodetic, PlanePoint& plane) const;
  // The zone Forward projects `geodetic` in (0 for a projection without zones).
  int ForwardZone(const GeodeticPoint& geodetic) const;
  std::string_view Inverse(const PlanePoint& plane, GeodeticPoint& geodetic) const;
  // Why Forward refused `geodetic`, for the user: a latitude beyond ±90° or
  // a longitude beyond the transverse Mercator band; empty when neither.
  std::string ForwardRefusalDetail(const GeodeticPoint& geodetic) const;
  // Why Inverse refused `plane`, for the user: a prefix that is no zone, a
  // northing beyond a pole, or how far the point lies from the central
  // meridian (from the false origin where there is none); empty when Inverse
  // converts it.
  std::string InverseRefusalDetail(const PlanePoint& plane) const;

 private:
  struct ZoneProjection {
    MapProjection projection;
    std::optional<double> centralMeridian;  // degrees, where the projection has one
    // Transverse projections only: the easting of the central meridian, metres.
    std::optional<double> meridianEasting;
    // The transverse Mercator family only: the northings of the south and
    // north poles, metres.
    std::optional<std::pair<double, double>> poleNorthings;
  };

  PlaneProjection(const ProjectionParams& projection, std::string ellipsoidDefinition);

  // The projection of zone `zone` (0 for a projection without zones), made
  // on first use; nullptr when PROJ refuses it.
  const ZoneProjection* InZone(int zone) const;
  // The zone of `plane` (0 for a projection without zones), taking a prefix
  // off its easting; nullopt when the prefix is no zone.
  std::optional<int> TakeZone(PlanePoint& plane) const;
  // The second line of a refusal of a prefix that is no zone.
  std::string ZonePrefixDetail(double east) const;
  // True when the inverse of `plane` lies where PROJ's inverse is exact.
  static bool InverseTrusted(const ZoneProjection& zone, const PlanePoint& plane, const GeodeticPoint& inverse);
  // False for a transverse Mercator point farther than `band` degrees from
  // the central meridian, where PROJ's series goes astray.
  static bool WithinTransverseMercatorBand(const ZoneProjection& zone, double longitude, double band);

  ProjectionParams record_;
  std::string ellipsoidDefinition_;  // " +a=… +rf=…" or " +R=…"
  bool transverse_;
  std::optional<ZoneSystem> zoneSystem_;
  mutable std::vector<std::optional<ZoneProjection>> zones_;  // by zone number; [0] without zones
};

}  // namespace tarnwell
