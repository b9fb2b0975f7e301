#include "engine/BursaWolf.h"

#include "engine/NumberText.h"

namespace tarnwell {

void ApplyBursaWolf(const SevenParams& params, double& X, double& Y, double& Z) {
  const auto radians = [](double arcSeconds) { return arcSeconds / 3600 * 0.017453292519943295; };
  const double k = params.scalePpm / 1000000;
  const double omegaX = radians(params.rX), omegaY = radians(params.rY), omegaZ = radians(params.rZ);
  // Each shift is its row of the design matrix times the parameters,
  // summed in column order (dX dY dZ k ωx ωy ωz).
  const double shiftX = params.dX + X * k - Z * omegaY + Y * omegaZ;
  const double shiftY = params.dY + Y * k + Z * omegaX - X * omegaZ;
  const double shiftZ = params.dZ + Z * k - Y * omegaX + X * omegaY;
  X += shiftX;
  Y += shiftY;
  Z += shiftZ;
}

void ApplyBursaWolf(const SevenParams& params, std::string& X, std::string& Y, std::string& Z) {
  double x = ParseNumber(X), y = ParseNumber(Y), z = ParseNumber(Z);
  ApplyBursaWolf(params, x, y, z);
  FormatNumberInto(x, X);
  FormatNumberInto(y, Y);
  FormatNumberInto(z, Z);
}

}  // namespace tarnwell
