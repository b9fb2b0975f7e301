// Three translation parameters from one common point: the difference of the
// point's earth-centred positions in the target and the source datum.
#pragma once

#include <string>

namespace tarnwell {

// Source B, L, h in the source angle format on the source ellipsoid, target
// B, L, h likewise on the target side. On success writes dX, dY, dZ into
// sevenParams, sets the rotations and the scale to 0 and returns true; on a
// refusal shows its message and changes nothing.
bool ComputeThreeParameters(std::string sourceB, std::string sourceL, std::string sourceH,
                            std::string targetB, std::string targetL, std::string targetH);

}  // namespace tarnwell
