#include "estimate/ThreeParameters.h"

#include "engine/ConversionPlan.h"
#include "engine/Messages.h"

namespace tarnwell {

std::optional<SevenParams> ComputeThreeParameters(const CoordSettings& settings, std::string_view sourceB,
                                                  std::string_view sourceL, std::string_view sourceH,
                                                  std::string_view targetB, std::string_view targetL,
                                                  std::string_view targetH) {
  std::optional<EllipsoidPair> ellipsoids;
  if (Refusal refusal = EllipsoidPairOf(settings, ellipsoids)) {
    ShowMessage(MessageText(refusal));
    return std::nullopt;
  }
  // A bad source stops before the target is looked at.
  GeodeticPoint source, target;
  if (!ReadGeodeticPoint(sourceB, sourceL, sourceH, settings.sourceAngleFormat, source)) {
    ShowMessage(MessageText({RefusalReason::SourceFormat, {}}));
    return std::nullopt;
  }
  if (!ReadGeodeticPoint(targetB, targetL, targetH, settings.targetAngleFormat, target)) {
    ShowMessage(MessageText({RefusalReason::Format, {}}));
    return std::nullopt;
  }
  const CartesianPoint from = ellipsoids->source.ToCartesian(source);
  const CartesianPoint to = ellipsoids->target.ToCartesian(target);
  SevenParams shift;  // rotations and scale stay 0: a pure translation
  shift.dX = to.X - from.X;
  shift.dY = to.Y - from.Y;
  shift.dZ = to.Z - from.Z;
  return shift;
}

}  // namespace tarnwell
