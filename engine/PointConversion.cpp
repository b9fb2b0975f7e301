#include "engine/PointConversion.h"

#include "engine/ConversionPlan.h"
#include "engine/Ellipsoid.h"

namespace tarnwell {

Refusal ConvertPoint(const CoordSettings& settings, const PointTexts& source, PointTexts& target) {
  std::optional<ConversionPlan> plan;
  if (Refusal refusal = ConversionPlan::FromSettings(settings, plan)) return refusal;
  TargetPoint converted;
  if (Refusal refusal = plan->Convert(source[0], source[1], source[2], converted)) return refusal;
  target = plan->Texts(converted);
  return {};
}

bool HasPlanSide(const CoordSettings& settings) {
  return settings.sourceType == CoordinateType::Plan || settings.targetType == CoordinateType::Plan;
}

PlanSideFactors::PlanSideFactors(ConversionPlan toGeodetic, ProjectionParams projection, EllipsoidFigure figure)
    : toGeodetic_(std::move(toGeodetic)), projection_(std::move(projection)), figure_(figure) {}

Refusal PlanSideFactors::Make(const CoordSettings& settings, std::optional<PlanSideFactors>& factors) {
  const bool onTarget = settings.targetType == CoordinateType::Plan;
  const CoordinateSystem from = SourceSystem(settings);
  const CoordinateSystem planSide = onTarget ? TargetSystem(settings) : from;
  CoordinateSystem geodetic;
  geodetic.ellipsoid = planSide.ellipsoid;
  geodetic.type = CoordinateType::LB;
  geodetic.angleFormat = AngleFormat::DDD;
  std::optional<ConversionPlan> plan;
  const DatumTransformation* datum = onTarget ? DatumInForce(settings) : nullptr;
  if (Refusal refusal = ConversionPlan::Make(from, geodetic, datum, kMaxFixedDecimals, kMaxFixedDecimals, plan)) return refusal;
  std::optional<Ellipsoid> ellipsoid;
  if (Refusal refusal = Ellipsoid::FromCatalogue(planSide.ellipsoid, ellipsoid)) return refusal;
  factors = PlanSideFactors(std::move(*plan), planSide.projection, ellipsoid->figure());
  return {};
}

Refusal PlanSideFactors::At(std::string_view first, std::string_view second, std::string_view third,
                            GridFactors& factors) const {
  TargetPoint point;
  if (Refusal refusal = toGeodetic_.Convert(first, second, third, point)) return refusal;
  const std::optional<GridFactors> found = GridFactorsAt(projection_, figure_, std::get<GeodeticPoint>(point));
  if (!found) return {RefusalReason::ConversionFailed, {}};
  factors = *found;
  return {};
}

Refusal PointGridFactors(const CoordSettings& settings, const PointTexts& source, GridFactors& factors) {
  std::optional<PlanSideFactors> planSide;
  if (Refusal refusal = PlanSideFactors::Make(settings, planSide)) return refusal;
  return planSide->At(source[0], source[1], source[2], factors);
}

}  // namespace tarnwell
