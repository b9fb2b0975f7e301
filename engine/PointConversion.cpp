#include "engine/PointConversion.h"

#include "engine/ConversionPlan.h"

namespace tarnwell {

Refusal ConvertPoint(const CoordSettings& settings, const PointTexts& source, PointTexts& target) {
  std::optional<ConversionPlan> plan;
  if (Refusal refusal = ConversionPlan::FromSettings(settings, plan)) return refusal;
  TargetPoint converted;
  if (Refusal refusal = plan->Convert(source[0], source[1], source[2], converted)) return refusal;
  target = plan->Texts(converted);
  return {};
}

}  // namespace tarnwell
