// A map projection: one row of the projection catalogue, or the projection in
// force for "Plan" coordinates.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwell {

// A parameter the projection does not use holds the text "NULL". Which
// parameters a projection uses, and as which PROJ parameter, is the table of
// supported projections (tables/SupportedProjections.h).
struct ProjectionParams {
  std::string projKey = "tmerc";                      // value of +proj=
  std::string description = "Transverse Mercator";
  std::string centralMeridian = "120.000";            // degrees, +lon_0=
  std::string scaleFactor = "1.000";                  // +k=
  std::string falseNorthing = "0.000";                // metres, +y_0=
  std::string falseEasting = "500000.000";            // metres, +x_0=
  std::string originLatitude = "0.000";               // degrees, +lat_0= or +lat_ts=
  std::string latitude1 = "NULL";                     // degrees, +lat_1=
  std::string latitude2 = "NULL";                     // degrees, +lat_2=
  std::string surfaceHeight = "NULL";                 // metres: height of the projection plane; "NULL" for none
  std::string auxEllipsoid = "NULL";
  // Position of the projection in the sorted projection list.
  std::int32_t listIndex = 112;

  // Zones (tables/ProjectionZones.h). A transverse Mercator may be divided
  // into Gauss-Krüger zones 3° or 6° wide; UTM always has its zones. A zoned
  // projection takes its central meridian from the zone and fixes its other
  // parameters; the parameter texts above are then not used.
  int zoneWidth = 0;        // degrees, 3 or 6; 0 for a freely chosen central meridian
  int zone = 0;             // the zone in force, from 1; 0 for none
  bool zonePrefix = false;  // easting written as zone × 1 000 000 + easting in the zone
  bool autoZone = false;    // each point in the zone of its own longitude (needs zonePrefix)
  bool south = false;       // UTM: the southern hemisphere (false northing 10 000 000 m)

  bool operator==(const ProjectionParams&) const = default;
};

}  // namespace tarnwell
