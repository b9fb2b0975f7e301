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
#include "engine/GridFactors.h"
#include "engine/Refusal.h"

namespace tarnwell {

using PointTexts = std::array<std::string, 3>;

// The target texts of the source point; refused (with `target` untouched)
// when the plan cannot be made or the point does not convert. Every pair of
// coordinate systems converts, a pair of one system too: its values are read
// strictly and written again in the target format.
Refusal ConvertPoint(const CoordSettings& settings, const PointTexts& source, PointTexts& target);

// True when a side of the conversion is "Plan", so that a point has grid factors.
bool HasPlanSide(const CoordSettings& settings);

// The grid factors of the source point on the "Plan" side (the target's when
// both are), at its B, L, h on that side's ellipsoid; refused when the point
// does not convert or the projection has no factors there. Needs HasPlanSide.
Refusal PointGridFactors(const CoordSettings& settings, const PointTexts& source, GridFactors& factors);

}  // namespace tarnwell
