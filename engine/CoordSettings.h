// The conversion settings: every choice the user has made for a conversion.
//
// One record per process, reached through CoordSettings::instance(). The
// main window, the settings dialogs and the estimation pages write it; the
// conversions read it at the moment they run, so a change takes effect with
// the next conversion. Almost every field is text and is parsed where used.
#pragma once

#include <string>

#include "engine/LocalGrid.h"
#include "tables/ProjectionParams.h"

namespace tarnwell {

// The seven Bursa-Wolf parameters, in the units the user enters them.
struct SevenParams {
  double dX = 0, dY = 0, dZ = 0;  // translations, metres
  double rX = 0, rY = 0, rZ = 0;  // rotations, arc-seconds
  double scalePpm = 0;            // scale difference, parts per million

  bool operator==(const SevenParams&) const = default;
};

struct CoordSettings {
  std::string sourceType = "Space";        // "Space", "LB" or "Plan"
  std::string sourceAngleFormat = "DMS";   // "DMS", "DDD" or "DMM"
  std::string targetType = "Space";
  std::string targetAngleFormat = "DMS";
  std::string sourceEllipsoid = "WGS84";   // names in the ellipsoid catalogue
  std::string targetEllipsoid = "WGS84";
  bool useSevenParams = false;
  ProjectionParams projection;
  std::string fileFormat = "n,b,l,h";      // "n,b,l,h", "n,x,y,h" or "n,X,Y,Z"
  std::string datumModel = "Bursa-Wolf";
  SevenParams sevenParams;
  // The local grid: the four parameters and the height fit, applied to "Plan"
  // coordinates after the projection (and undone before its inverse).
  bool useFourParams = false;
  FourParams fourParams;
  HeightFit heightFit;
  // Decimals of every converted number and of an angle's last piece, 0..15.
  int outputDecimals = 15;

  // The single record of the process, made with the defaults on first use.
  // (Tests restore the defaults with `CoordSettings::instance() = {};`.)
  static CoordSettings& instance();

  bool operator==(const CoordSettings&) const = default;
};

}  // namespace tarnwell
