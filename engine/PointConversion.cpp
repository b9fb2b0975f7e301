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

Refusal PointGridFactors(const CoordSettings& settings, const PointTexts& source, GridFactors& factors) {
  const bool onTarget = settings.targetType == CoordinateType::Plan;
  const CoordinateSystem from = SourceSystem(settings);
  const CoordinateSystem planSide = onTarget ? TargetSystem(settings) : from;
  const CoordinateSystem geodetic{planSide.ellipsoid, CoordinateType::LB, AngleFormat::DDD, {}, {}};
  std::optional<ConversionPlan> plan;
  const DatumTransformation* datum = onTarget ? DatumInForce(settings) : nullptr;
  if (Refusal refusal = ConversionPlan::Make(from, geodetic, datum, kMaxFixedDecimals, plan)) return refusal;
  TargetPoint point;
  if (Refusal refusal = plan->Convert(source[0], source[1], source[2], point)) return refusal;
  std::optional<Ellipsoid> ellipsoid;
  if (Refusal refusal = Ellipsoid::FromCatalogue(planSide.ellipsoid, ellipsoid)) return refusal;
  const std::optional<GridFactors> found =
      GridFactorsAt(planSide.projection, ellipsoid->figure(), std::get<GeodeticPoint>(point));
  if (!found) return {RefusalReason::ConversionFailed, {}};
  factors = *found;
  return {};
}

}  // namespace tarnwell
