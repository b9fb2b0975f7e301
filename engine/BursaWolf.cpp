#include "engine/BursaWolf.h"

namespace tarnwell {
namespace {

// The scale and rotations as the formulas take them: k, and ω in radians
// with the sign of the convention.
struct Factors {
  double k, omegaX, omegaY, omegaZ;
};

Factors FactorsOf(const SevenParams& params, RotationConvention convention) {
  const double sign = convention == RotationConvention::CoordinateFrame ? 1 : -1;
  const auto radians = [sign](double arcSeconds) { return sign * (arcSeconds / 3600 * 0.017453292519943295); };
  return {params.scalePpm / 1000000, radians(params.rX), radians(params.rY), radians(params.rZ)};
}

// The determinant of the 3 × 3 matrix with rows a, b, c.
double Determinant(const double a[3], const double b[3], const double c[3]) {
  return a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
}

}  // namespace

CartesianPoint ApplyBursaWolf(const SevenParams& params, RotationConvention convention,
                              const CartesianPoint& point) {
  const auto [k, omegaX, omegaY, omegaZ] = FactorsOf(params, convention);
  const auto [X, Y, Z] = point;
  // Each shift is its row of the design matrix times the parameters,
  // summed in column order (dX dY dZ k ωx ωy ωz), as the estimation builds it.
  const double shiftX = params.dX + X * k - Z * omegaY + Y * omegaZ;
  const double shiftY = params.dY + Y * k + Z * omegaX - X * omegaZ;
  const double shiftZ = params.dZ + Z * k - Y * omegaX + X * omegaY;
  return {X + shiftX, Y + shiftY, Z + shiftZ};
}

CartesianPoint InverseBursaWolf(const SevenParams& params, RotationConvention convention,
                                const CartesianPoint& point) {
  // X' = T + M·X; solve M·X = X' − T by Cramer's rule (M is within 1e-4 of
  // the identity, so the system is as well conditioned as can be). M is
  // taken by its columns, which Determinant reads as rows: det Mᵀ = det M.
  const auto [k, omegaX, omegaY, omegaZ] = FactorsOf(params, convention);
  const double column0[3] = {1 + k, -omegaZ, omegaY};
  const double column1[3] = {omegaZ, 1 + k, -omegaX};
  const double column2[3] = {-omegaY, omegaX, 1 + k};
  const double shifted[3] = {point.X - params.dX, point.Y - params.dY, point.Z - params.dZ};
  const double whole = Determinant(column0, column1, column2);
  return {Determinant(shifted, column1, column2) / whole, Determinant(column0, shifted, column2) / whole,
          Determinant(column0, column1, shifted) / whole};
}

}  // namespace tarnwell
