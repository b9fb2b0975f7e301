// A map projection: one row of the projection catalogue, or the projection of
// a "Plan" side of a conversion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwell {

// A parameter holds no value where the projection does not take it. Which
// parameters a projection takes, and as which PROJ parameter, is the table of
// supported projections (tables/SupportedProjections.h).
struct ProjectionParams {
  std::string projKey = "tmerc";                  // value of +proj=
  std::string description = "Transverse Mercator";
  std::optional<double> centralMeridian = 120;    // degrees, +lon_0=
  std::optional<double> scaleFactor = 1;          // +k=
  std::optional<double> falseNorthing = 0;        // metres, +y_0=
  std::optional<double> falseEasting = 500000;    // metres, +x_0=
  std::optional<double> originLatitude = 0;       // degrees, +lat_0= or +lat_ts=
  std::optional<double> latitude1;                // degrees, +lat_1=
  std::optional<double> latitude2;                // degrees, +lat_2=
  std::optional<double> surfaceHeight;            // metres: height of the projection plane; none for 0
  // Position of the projection in the sorted projection list.
  std::int32_t listIndex = 112;

  // Zones (tables/ProjectionZones.h). A transverse Mercator may be divided
  // into Gauss-Krüger zones 3° or 6° wide; UTM always has its zones. A zoned
  // projection takes its central meridian from the zone and fixes its other
  // parameters; the parameters above are then not used.
  int zoneWidth = 0;        // degrees, 3 or 6; 0 for a freely chosen central meridian
  int zone = 0;             // the zone in force, from 1; 0 for none
  bool zonePrefix = false;  // easting written as zone × 1 000 000 + easting in the zone
  bool autoZone = false;    // each point in the zone of its own longitude (needs zonePrefix)
  bool south = false;       // UTM: the southern hemisphere (false northing 10 000 000 m)

  bool operator==(const ProjectionParams&) const = default;
};

// A projection parameter as a member of the record.
using ProjectionParameter = std::optional<double> ProjectionParams::*;

}  // namespace tarnwell
