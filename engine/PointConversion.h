// The single-point conversion: one point, as three texts in the source
// coordinate type, becomes three texts in the target coordinate type, with
// the plan the settings describe.
//
// A point is three texts: B, L, h for "LB"; north x, east y, height h for
// "Plan"; X, Y, Z for "Space".
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/ConversionPlan.h"
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

// The grid factors of source points on the "Plan" side of a conversion (the
// target's when both are), at their B, L, h on that side's ellipsoid. Like a
// conversion plan, one object per thread.
class PlanSideFactors {
 public:
  // Refused when the plan to that side's B, L, h cannot be made. Needs HasPlanSide.
  static Refusal Make(const CoordSettings& settings, std::optional<PlanSideFactors>& factors);

  // The factors of the point of the three source texts; refused when the
  // point does not convert or the projection has no factors there.
  Refusal At(std::string_view first, std::string_view second, std::string_view third, GridFactors& factors) const;

 private:
  PlanSideFactors(ConversionPlan toGeodetic, ProjectionParams projection, EllipsoidFigure figure);

  ConversionPlan toGeodetic_;  // from the source to B, L, h on the Plan side
  ProjectionParams projection_;
  EllipsoidFigure figure_;
};

// The factors of one point, as PlanSideFactors gives them.
Refusal PointGridFactors(const CoordSettings& settings, const PointTexts& source, GridFactors& factors);

}  // namespace tarnwell
