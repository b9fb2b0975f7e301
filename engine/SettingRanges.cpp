#include "engine/SettingRanges.h"

#include <utility>

namespace tarnwell {

bool ProjectionInRange(const ProjectionParams& projection) {
  const std::pair<ProjectionParameter, Range> ranges[] = {
      {&ProjectionParams::centralMeridian, kLongitudeRange}, {&ProjectionParams::scaleFactor, kScaleFactorRange},
      {&ProjectionParams::falseNorthing, kFalseOffsetRange}, {&ProjectionParams::falseEasting, kFalseOffsetRange},
      {&ProjectionParams::originLatitude, kLatitudeRange},   {&ProjectionParams::latitude1, kLatitudeRange},
      {&ProjectionParams::latitude2, kLatitudeRange},        {&ProjectionParams::surfaceHeight, kPlaneHeightRange},
  };
  for (const auto& [field, range] : ranges) {
    const std::optional<double>& value = projection.*field;
    if (value && !range.Holds(*value)) return false;
  }
  // Up to the 120 zones of 3°.
  return (projection.zoneWidth == 0 || projection.zoneWidth == 3 || projection.zoneWidth == 6) &&
         projection.zone >= 0 && projection.zone <= 120;
}

bool DatumInRange(const SevenParams& params) {
  return kTranslationRange.Holds(params.dX) && kTranslationRange.Holds(params.dY) &&
         kTranslationRange.Holds(params.dZ) && kRotationRange.Holds(params.rX) && kRotationRange.Holds(params.rY) &&
         kRotationRange.Holds(params.rZ) && kScalePpmRange.Holds(params.scalePpm);
}

bool LocalGridInRange(const LocalGrid& grid) {
  const FourParams& four = grid.fourParams;
  const HeightFit& fit = grid.heightFit;
  if (!kTranslationRange.Holds(four.dNorth) || !kTranslationRange.Holds(four.dEast) ||
      !kRotationRange.Holds(four.rotationArcSeconds) || !kScalePpmRange.Holds(four.scalePpm))
    return false;
  if (!kCentroidRange.Holds(fit.centroid.north) || !kCentroidRange.Holds(fit.centroid.east)) return false;
  for (double coefficient : fit.coefficients) {
    if (!kCoefficientRange.Holds(coefficient)) return false;
  }
  return true;
}

}  // namespace tarnwell
