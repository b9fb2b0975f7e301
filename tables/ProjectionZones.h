// Numbered projection zones: the Gauss-Krüger zones of Chinese practice, 3°
// or 6° wide, and the 60 zones of UTM.
//
// A zone fixes its transverse Mercator whole: the zone's central meridian,
// origin on the equator, false easting 500 000 m, scale factor 1 (UTM
// 0.9996), false northing 0 (UTM south of the equator 10 000 000 m). With
// the zone-number prefix the easting is written n × 1 000 000 + easting, so
// that the coordinate itself says its zone.
#pragma once

#include "tables/ProjectionParams.h"

namespace tarnwell {

enum class ZoneSystem { GaussKruger3, GaussKruger6, Utm };

// The prefix of zone n is n × kZonePrefixUnit.
constexpr double kZonePrefixUnit = 1000000;  // metres

// Zones are numbered from 1 to this count.
int ZoneCount(ZoneSystem system);

// The zone that holds a longitude (degrees, of any turn):
//   6°:  n = floor(L / 6) + 1,          central meridian 6n − 3;
//   3°:  n = floor((L − 1.5) / 3) + 1,  central meridian 3n;
//   UTM: n = floor((L + 180) / 6) + 1,  central meridian 6n − 183;
// with L in [0°, 360°) for Gauss-Krüger zones (the 3° zone about 0° is
// number 120) and in [−180°, 180°) for UTM.
int ZoneOfLongitude(ZoneSystem system, double longitude);

// Degrees.
double CentralMeridianOfZone(ZoneSystem system, int zone);

// The parameters a zone fixes.
inline constexpr ProjectionParameter kZoneParameters[] = {
    &ProjectionParams::centralMeridian, &ProjectionParams::scaleFactor, &ProjectionParams::falseEasting,
    &ProjectionParams::falseNorthing, &ProjectionParams::originLatitude};

// Writes the parameters zone `zone` fixes into the record
// (the false northing of UTM after the record's south).
void SetZoneParameters(ProjectionParams& projection, ZoneSystem system, int zone);

}  // namespace tarnwell
