#include "engine/BursaWolf.h"

namespace tarnwell {

CartesianPoint ApplyBursaWolf(const SevenParams& params, const CartesianPoint& point) {
  const auto radians = [](double arcSeconds) { return arcSeconds / 3600 * 0.017453292519943295; };
  const double k = params.scalePpm / 1000000;
  const double omegaX = radians(params.rX), omegaY = radians(params.rY), omegaZ = radians(params.rZ);
  const auto [X, Y, Z] = point;
  // Each shift is its row of the design matrix times the parameters,
  // summed in column order (dX dY dZ k ωx ωy ωz).
  const double shiftX = params.dX + X * k - Z * omegaY + Y * omegaZ;
  const double shiftY = params.dY + Y * k + Z * omegaX - X * omegaZ;
  const double shiftZ = params.dZ + Z * k - Y * omegaX + X * omegaY;
  return {X + shiftX, Y + shiftY, Z + shiftZ};
}

}  // namespace tarnwell
