// The plane four-parameter (similarity) transformation between two map grids:
//   x' = ΔX + (1 + m)(x cos α − y sin α)
//   y' = ΔY + (1 + m)(x sin α + y cos α)
// x northing, y easting, metres; α turns from north towards east.
#pragma once

#include <optional>
#include <vector>

#include "estimate/PlaneCommonPoint.h"

namespace tarnwell {

// The four parameters in the units the user enters them.
struct FourParams {
  double dNorth = 0, dEast = 0;   // ΔX, ΔY: translations, metres
  double rotationArcSeconds = 0;  // α
  double scalePpm = 0;            // m, parts per million

  // Source north, east to target north, east in place.
  void Apply(double& north, double& east) const;
  // Target to source in place, in closed form: the exact inverse of Apply.
  void Inverse(double& north, double& east) const;

  bool operator==(const FourParams&) const = default;
};

// True when the four are finite and the scale factor 1 + m is positive, so
// that Apply and Inverse are defined.
bool IsUsable(const FourParams& params);

// The least-squares four parameters from the participating points. Refused,
// with "公共点不足或分布不当,无法计算四参数。" shown, unless at least two of
// them lie apart (PointsDistinct).
std::optional<FourParams> EstimateFourParameters(const std::vector<PlaneCommonPoint>& points);

}  // namespace tarnwell
