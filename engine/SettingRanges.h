// The ranges of the numbers a user may set, written once: the settings
// codec refuses a value outside them wherever it comes from (the settings
// store, a parameter file, the command line), and a conversion refuses a
// projection or a local grid that leaves them.
#pragma once

#include "engine/BursaWolf.h"
#include "engine/CoordinateSystem.h"
#include "tables/ProjectionParams.h"

namespace tarnwell {

struct Range {
  double lowest, highest;  // both included

  constexpr bool Holds(double value) const { return value >= lowest && value <= highest; }
};

inline constexpr Range kLongitudeRange = {-360, 360};          // degrees: central meridians
inline constexpr Range kLatitudeRange = {-90, 90};             // degrees: origin and standard parallels
inline constexpr Range kScaleFactorRange = {0.5, 1.5};         // of a projection
inline constexpr Range kFalseOffsetRange = {-1e8, 1e8};        // metres: false easting and northing
inline constexpr Range kPlaneHeightRange = {-1e7, 1e7};        // metres; on an ellipsoid also above −a/2
inline constexpr Range kTranslationRange = {-1e8, 1e8};        // metres: datum and local-grid shifts
inline constexpr Range kRotationRange = {-1e6, 1e6};           // arc-seconds: datum and local-grid rotations
inline constexpr Range kScalePpmRange = {-999999, 999999};     // parts per million: a scale factor 1 + m above 0
inline constexpr Range kCentroidRange = {-1e9, 1e9};           // metres: the height fit's centroid
inline constexpr Range kCoefficientRange = {-1e12, 1e12};      // the height fit's coefficients
inline constexpr Range kToleranceRange = {0, 1000};            // metres: an estimate's residual tolerances

// A projection-plane height the ellipsoid of semi-major axis `semiMajorAxis`
// (metres) can be enlarged by: within its range and above −a/2.
inline bool PlaneHeightFits(double height, double semiMajorAxis) {
  return kPlaneHeightRange.Holds(height) && height > -semiMajorAxis / 2;
}

// True when every parameter the projection has a value for, and its zone,
// lies within its range.
bool ProjectionInRange(const ProjectionParams& projection);

// True when the seven parameters lie within their ranges.
bool DatumInRange(const SevenParams& params);

// True when the four parameters and the height fit lie within their ranges
// (and so are usable: finite, with a scale factor above 0).
bool LocalGridInRange(const LocalGrid& grid);

}  // namespace tarnwell
