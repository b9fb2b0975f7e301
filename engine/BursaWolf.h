// The seven-parameter Bursa-Wolf datum transformation, linearised form: the
// scale and the three small rotations act on the input coordinates each on
// its own (no product of scale and rotation terms).
//
// Coordinate-frame convention (the default):
//   X' = X + dX + k·X − ωy·Z + ωz·Y
//   Y' = Y + dY + k·Y + ωx·Z − ωz·X
//   Z' = Z + dZ + k·Z − ωx·Y + ωy·X
// Position-vector convention: the same with the rotations' signs reversed.
// k = scalePpm·1e-6 and ω the rotations in radians. Each equals PROJ's
// +proj=helmert with +convention=coordinate_frame or position_vector up to
// PROJ's second-order k·R·X term (below 0.1 mm for a scale of 10 ppm and
// rotations of 10″ on the earth's surface).
#pragma once

#include <span>
#include <string>

#include "engine/Keywords.h"
#include "engine/Points.h"

namespace tarnwell {

// The seven Bursa-Wolf parameters, in the units the user enters them.
struct SevenParams {
  double dX = 0, dY = 0, dZ = 0;  // translations, metres
  double rX = 0, rY = 0, rZ = 0;  // rotations, arc-seconds
  double scalePpm = 0;            // scale difference, parts per million

  bool operator==(const SevenParams&) const = default;
};

enum class RotationConvention { CoordinateFrame, PositionVector };

inline constexpr Keyword<RotationConvention> kRotationConventions[] = {
    {"coordinate-frame", RotationConvention::CoordinateFrame},
    {"position-vector", RotationConvention::PositionVector},
};

// A parameter set with its direction: it takes earth-centred coordinates on
// `sourceEllipsoid` to those on `targetEllipsoid`. Empty names leave the
// direction to the conversion: from its source to its target.
struct DatumTransformation {
  SevenParams params;
  RotationConvention convention = RotationConvention::CoordinateFrame;
  std::string sourceEllipsoid, targetEllipsoid;

  bool operator==(const DatumTransformation&) const = default;
};

// The point in the target datum.
CartesianPoint ApplyBursaWolf(const SevenParams& params, RotationConvention convention,
                              const CartesianPoint& point);
inline CartesianPoint ApplyBursaWolf(const SevenParams& params, const CartesianPoint& point) {
  return ApplyBursaWolf(params, RotationConvention::CoordinateFrame, point);
}

// The point in the source datum: the exact inverse of ApplyBursaWolf under
// the same model, found by solving its 3 × 3 system (negated parameters
// would leave millimetres).
CartesianPoint InverseBursaWolf(const SevenParams& params, RotationConvention convention,
                                const CartesianPoint& point);
}  // namespace tarnwell
