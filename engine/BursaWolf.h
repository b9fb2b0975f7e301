// The seven-parameter Bursa-Wolf datum transformation, linearised form:
//   X' = X + dX + k·X − ωy·Z + ωz·Y
//   Y' = Y + dY + k·Y + ωx·Z − ωz·X
//   Z' = Z + dZ + k·Z − ωx·Y + ωy·X
// with k = scalePpm·1e-6 and ω the rotations in radians. It maps source-datum
// earth-centred coordinates to target-datum ones; there is no inverse.
#pragma once

#include "engine/CoordSettings.h"
#include "engine/Points.h"

namespace tarnwell {

// The point in the target datum.
CartesianPoint ApplyBursaWolf(const SevenParams& params, const CartesianPoint& point);

}  // namespace tarnwell
