// Why the engine refused something: a typed value the front ends turn into
// the user's words (MessageText) and the command-line tool into its exit
// status. The engine itself never shows a refusal.
#pragma once

#include <string>

namespace tarnwell {

enum class RefusalReason {
  None,                 // nothing refused
  EllipsoidsMustDiffer,  // a datum transformation between one ellipsoid and itself
  EllipsoidsMustMatch,   // two ellipsoids and no datum transformation
  SameSystem,            // a file whose two sides are one system in one format
  SourceFormat,          // a geodetic point that does not read, on the way to earth-centred coordinates
  Format,                // any other value that does not read
  EllipsoidMissing,      // no ellipsoid of that name in the catalogue
  EllipsoidValues,       // the catalogue's values make no ellipsoid
  Projection,            // the projection is not supported or its parameters do not fit
  FourParams,            // the local grid's parameters are unusable
  ConversionFailed,      // a point outside the domain of a step
  ZoneNumber,            // a prefixed easting whose prefix is no zone of the projection
  DatumParams,           // the datum parameters lie outside their ranges
  DatumPair,             // datum parameters stated for another pair of ellipsoids
  NormalHeightModel,     // normal heights with neither a geoid model nor an anomaly fit
  AnomalyFit,            // the anomaly fit's parameters are unusable
  GeoidUnreadable,       // the geoid model's grid cannot be read
  GeoidOutside,          // a point outside the geoid model's grid
  GeoidNoValue,          // a point in a cell of the geoid model without a value
};

struct Refusal {
  RefusalReason reason = RefusalReason::None;
  std::string detail;  // what was refused, where that helps: an ellipsoid's name, a pair, a geoid model

  explicit operator bool() const { return reason != RefusalReason::None; }
};

// A number for a refusal's detail: "-21", "9500.123", "1e+300".
std::string ShortNumberText(double value);
// An angle for a refusal's detail: "190°", "95.5°".
std::string DegreesText(double degrees);
// A distance for a refusal's detail, to the metre: "9500.123 km".
std::string KilometresText(double metres);
// "纬度 95° 超出 ±90°".
std::string LatitudeRangeDetail(double latitude);

// The message a user reads: the fixed text of the reason, and the detail on
// a second line where there is one.
std::string MessageText(const Refusal& refusal);

}  // namespace tarnwell
