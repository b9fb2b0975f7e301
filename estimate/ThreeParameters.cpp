#include "estimate/ThreeParameters.h"

#include "engine/ConversionPlan.h"
#include "engine/Messages.h"

namespace tarnwell {

std::optional<SevenParams> ComputeThreeParameters(const CoordSettings& settings, std::string_view sourceB,
                                                  std::string_view sourceL, std::string_view sourceH,
                                                  std::string_view targetB, std::string_view targetL,
                                                  std::string_view targetH) {
  const std::optional<ConversionPlan> plan = ConversionPlan::ForDatumPair(settings);
  if (!plan) return std::nullopt;
  // A bad source stops before the target is looked at.
  GeodeticPoint source, target;
  if (!ReadGeodeticPoint(sourceB, sourceL, sourceH, plan->angleFormat(ConversionSide::Source), source)) {
    ShowMessage(std::string(kSourceFormatWrong));
    return std::nullopt;
  }
  if (!ReadGeodeticPoint(targetB, targetL, targetH, plan->angleFormat(ConversionSide::Target), target)) {
    ShowMessage(std::string(kFormatWrong));
    return std::nullopt;
  }
  const CartesianPoint from = plan->ellipsoid(ConversionSide::Source).ToCartesian(source);
  const CartesianPoint to = plan->ellipsoid(ConversionSide::Target).ToCartesian(target);
  SevenParams shift;  // rotations and scale stay 0: a pure translation
  shift.dX = to.X - from.X;
  shift.dY = to.Y - from.Y;
  shift.dZ = to.Z - from.Z;
  return shift;
}

}  // namespace tarnwell
