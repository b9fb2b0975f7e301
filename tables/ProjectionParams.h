// A map projection: one row of the projection catalogue, or the projection in
// force for "Plan" coordinates.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwell {

// A parameter the projection does not use holds the text "NULL".
struct ProjectionParams {
  std::string projKey = "tmerc";                      // value of +proj=
  std::string description = "Transverse Mercator";
  std::string centralMeridian = "120.000";            // degrees, +lon_0=
  std::string scaleFactor = "1.000";                  // +k=
  std::string falseNorthing = "0.000";                // metres, +y_0=
  std::string falseEasting = "500000.000";            // metres, +x_0=
  std::string originLatitude = "0.000";               // degrees, +lat_0= or +lat_ts=
  std::string latitude1 = "NULL";                     // degrees
  std::string latitude2 = "NULL";                     // degrees
  std::string surfaceHeight = "NULL";                 // metres
  std::string auxEllipsoid = "NULL";
  // Position of the projection in the sorted projection list; chooses the
  // form of the PROJ definition (70 and 112 have their own).
  std::int32_t listIndex = 112;

  bool operator==(const ProjectionParams&) const = default;
};

}  // namespace tarnwell
