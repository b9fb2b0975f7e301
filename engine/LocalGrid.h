// The local grid: a city or site grid reached from a projection's grid by
// the plane four-parameter (similarity) transformation, with the heights
// moved by a fitted surface.
//
//   x' = ΔX + (1 + m)(x cos α − y sin α)
//   y' = ΔY + (1 + m)(x sin α + y cos α)
// x northing, y easting, metres; α turns from north towards east.
//
// Height fitting: the height difference Δh = h2 − h between the target and
// the source height system, modelled over the common points as a surface in
// the source grid position, reduced to the centroid (dx = x − x̄, dy = y − ȳ):
//   constant   Δh = a0
//   plane      Δh = a0 + a1·dx + a2·dy
//   quadratic  Δh = a0 + a1·dx + a2·dy + a3·dx² + a4·dx·dy + a5·dy²
#pragma once

#include <array>
#include <cstddef>

#include "engine/Keywords.h"

namespace tarnwell {

// A position in a grid.
struct PlanePosition {
  double north = 0, east = 0;  // metres

  bool operator==(const PlanePosition&) const = default;
};

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

enum class HeightModel { Constant, Plane, Quadratic };

inline constexpr Keyword<HeightModel> kHeightModels[] = {
    {"constant", HeightModel::Constant}, {"plane", HeightModel::Plane}, {"quadratic", HeightModel::Quadratic}};

// 1, 3 or 6: the coefficients of the model, and the points it needs at least.
std::size_t CoefficientCount(HeightModel model);

// The terms of the height surface at a position reduced to the centroid:
// 1, dx, dy, dx², dx·dy, dy².
std::array<double, 6> HeightFitTerms(double dx, double dy);

struct HeightFit {
  HeightModel model = HeightModel::Constant;
  PlanePosition centroid;  // x̄, ȳ: of the source positions the fit was made from
  // a0 in metres, a1, a2 in metres per metre, a3, a4, a5 in metres per
  // square metre; those beyond the model are 0.
  std::array<double, 6> coefficients{};

  // Δh at a source grid position (metres).
  double Offset(double north, double east) const;
  // The target height of a point at a source grid position.
  double Apply(double north, double east, double height) const { return height + Offset(north, east); }
  // The source height back from the target height, at the same source grid
  // position (a target position goes through FourParams::Inverse first).
  double Inverse(double north, double east, double targetHeight) const {
    return targetHeight - Offset(north, east);
  }

  bool operator==(const HeightFit&) const = default;
};

// True when the centroid and every coefficient are finite numbers.
bool IsUsable(const HeightFit& fit);

}  // namespace tarnwell
