// The seven-parameter Bursa-Wolf datum transformation, linearised form:
//   X' = X + dX + k·X − ωy·Z + ωz·Y
//   Y' = Y + dY + k·Y + ωx·Z − ωz·X
//   Z' = Z + dZ + k·Z − ωx·Y + ωy·X
// with k = scalePpm·1e-6 and ω the rotations in radians. It maps source-datum
// earth-centred coordinates to target-datum ones; there is no inverse.
#pragma once

#include <string>

#include "engine/CoordSettings.h"

namespace tarnwell {

// Transforms X, Y, Z (metres) in place.
void ApplyBursaWolf(const SevenParams& params, double& X, double& Y, double& Z);

// The same on number texts, rewritten with FormatNumber.
void ApplyBursaWolf(const SevenParams& params, std::string& X, std::string& Y, std::string& Z);

}  // namespace tarnwell
