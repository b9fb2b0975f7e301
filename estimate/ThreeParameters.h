// Three translation parameters from one common point: the difference of the
// point's earth-centred positions in the target and the source datum.
#pragma once

#include <optional>
#include <string_view>

#include "engine/CoordSettings.h"

namespace tarnwell {

// Source B, L, h in the source angle format on the source ellipsoid, target
// B, L, h likewise on the target side. The parameters, rotations and scale 0;
// nullopt, with its message shown, when the ellipsoids are the same or a
// value does not read.
std::optional<SevenParams> ComputeThreeParameters(const CoordSettings& settings, std::string_view sourceB,
                                                  std::string_view sourceL, std::string_view sourceH,
                                                  std::string_view targetB, std::string_view targetL,
                                                  std::string_view targetH);

}  // namespace tarnwell
