// The single-point conversion: one point, as three texts in the source
// coordinate type, becomes three texts in the target coordinate type, with
// the plan the settings describe.
//
// A point is three texts: B, L, h for "LB"; north x, east y, height h for
// "Plan"; X, Y, Z for "Space".
#pragma once

#include <array>
#include <string>

#include "engine/CoordSettings.h"
#include "engine/Refusal.h"

namespace tarnwell {

using PointTexts = std::array<std::string, 3>;

// The target texts of the source point; refused (with `target` untouched)
// when the plan cannot be made or the point does not convert. Every pair of
// coordinate systems converts, a pair of one system too: its values are read
// strictly and written again in the target format.
Refusal ConvertPoint(const CoordSettings& settings, const PointTexts& source, PointTexts& target);

}  // namespace tarnwell
