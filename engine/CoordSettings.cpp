#include "engine/CoordSettings.h"

namespace tarnwell {
namespace {

// The local grid belongs to the "Plan" target, or else to a "Plan" source.
bool LocalGridOnTarget(const CoordSettings& settings) { return settings.targetType == CoordinateType::Plan; }

CoordinateSystem System(const CoordSettings& settings, bool target) {
  CoordinateSystem system;
  system.ellipsoid = target ? settings.targetEllipsoid : settings.sourceEllipsoid;
  system.type = target ? settings.targetType : settings.sourceType;
  system.angleFormat = target ? settings.targetAngleFormat : settings.sourceAngleFormat;
  const HeightSystem height = target ? settings.targetHeight : settings.sourceHeight;
  if (system.type != CoordinateType::Space && height == HeightSystem::Normal) {
    system.height = height;
    system.geoid = settings.geoid;
    if (settings.useAnomalyFit) system.anomalyFit = settings.anomalyFit;
  }
  if (system.type != CoordinateType::Plan) return system;
  system.projection = target ? settings.projection : SourceProjection(settings);
  if (settings.useFourParams && LocalGridOnTarget(settings) == target)
    system.localGrid = LocalGrid{settings.fourParams, settings.heightFit};
  return system;
}

}  // namespace

CoordSettings& CoordSettings::instance() {
  static CoordSettings settings;
  return settings;
}

const ProjectionParams& SourceProjection(const CoordSettings& settings) {
  return settings.ownSourceProjection ? settings.sourceProjection : settings.projection;
}

CoordinateSystem SourceSystem(const CoordSettings& settings) { return System(settings, false); }
CoordinateSystem TargetSystem(const CoordSettings& settings) { return System(settings, true); }

std::optional<CoordinateSystem> LocalGridSide(const CoordSettings& settings) {
  const bool target = LocalGridOnTarget(settings);
  if (!target && settings.sourceType != CoordinateType::Plan) return std::nullopt;
  CoordinateSystem side = System(settings, target);
  side.localGrid.reset();
  return side;
}

const DatumTransformation* DatumInForce(const CoordSettings& settings) {
  return settings.useSevenParams ? &settings.datum : nullptr;
}

}  // namespace tarnwell
