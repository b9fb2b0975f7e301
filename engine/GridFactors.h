// The grid factors of a point of a "Plan" side, which reduce distances
// measured on the ground to the grid:
//
//   γ  meridian convergence (子午线收敛角): the angle from true north to grid
//      north, clockwise positive (east of the central meridian, north of the
//      equator, γ > 0);
//   k  point scale factor of the projection at the point;
//   elevation factor  (R + H) / (R + h), with R = √(M N) the Gaussian mean
//      radius of the ellipsoid at B (M meridian, N prime-vertical radius of
//      curvature), h the height above the ellipsoid and H the projection-
//      plane height (0 without one);
//   combined factor   k × elevation factor: grid length / ground length;
//   length distortion (combined − 1) × 10⁶ mm per km.
//
// γ and k come from GeographicLib's TransverseMercator (Krüger's series to
// sixth order, accurate to nanometres within 3900 km of the central
// meridian) for tmerc, etmerc and utm and their zones, and from PROJ's
// proj_factors for every other projection. A projection-plane height
// projects on the ellipsoid a + H, and so do the factors.
#pragma once

#include <optional>

#include "engine/Points.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/ProjectionParams.h"

namespace tarnwell {

struct GridFactors {
  double convergenceDegrees = 0;  // γ
  double pointScale = 1;          // k
  double elevationFactor = 1;
  double combinedFactor = 1;
  double distortionMmPerKm = 0;
};

// The factors at `point` (B, L, h on the ellipsoid of `figure`), in the
// point's own zone where the projection has zones; nullopt where the
// projection is refused or has no factors there.
std::optional<GridFactors> GridFactorsAt(const ProjectionParams& projection, const EllipsoidFigure& figure,
                                         const GeodeticPoint& point);

}  // namespace tarnwell
