#include "engine/ProjBridge.h"

#include <proj.h>

#include <cmath>

#include "tables/NumberText.h"
#include "tables/SupportedProjections.h"

namespace tarnwell {
namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

bool IsFinite(const PJ_COORD& coordinate) {
  return std::isfinite(coordinate.xyz.x) && std::isfinite(coordinate.xyz.y) && std::isfinite(coordinate.xyz.z);
}

}  // namespace

bool AppendProjDefinition(std::string& definition, const ProjectionParams& projection) {
  const SupportedProjection* supported = FindSupportedProjection(projection.projKey);
  if (!supported || !ZoneChoiceValid(projection)) return false;
  const std::optional<ZoneSystem> system = ZoneSystemOf(projection);
  if (system && projection.zone == 0) return false;  // points in their own zones: the caller names one
  ProjectionParams zoned;
  const ProjectionParams* parameters = &projection;
  if (system && *system != ZoneSystem::Utm) {
    zoned = projection;
    SetZoneParameters(zoned, *system, projection.zone);
    parameters = &zoned;
  }
  // Every parameter the projection takes has a finite value.
  for (const ProjParameter& parameter : supported->parameters) {
    const std::optional<double>& value = parameters->*parameter.field;
    if (!value || !std::isfinite(*value)) return false;
  }

  definition += "+proj=";
  definition += supported->key;
  for (const ProjParameter& parameter : supported->parameters) {
    definition += " +";
    definition += parameter.projName;
    definition += '=';
    AppendShortestNumber(*(parameters->*parameter.field), definition);
  }
  if (supported->zones == ZoneScheme::Utm) {
    definition += " +zone=";
    definition += std::to_string(projection.zone);
    if (projection.south) definition += " +south";
  }
  definition += " +units=m";
  return true;
}

void AppendProjEllipsoid(std::string& definition, const EllipsoidFigure& figure, double planeHeight) {
  if (figure.IsSphere()) {
    definition += " +R=";
    AppendShortestNumber(figure.semiMajorAxis + planeHeight, definition);
  } else {
    // The same flattening on the enlarged axis: B and L keep their meaning.
    definition += " +a=";
    AppendShortestNumber(figure.semiMajorAxis + planeHeight, definition);
    definition += " +rf=";
    AppendShortestNumber(figure.inverseFlattening, definition);
  }
}

// A PROJ context and the projection made in it, destroyed together.
struct MapProjection::Objects {
  PJ_CONTEXT* context = nullptr;
  PJ* projection = nullptr;

  explicit Objects(const std::string& definition) : context(proj_context_create()) {
    // A refused definition is reported by the engine in the user's words.
    proj_log_level(context, PJ_LOG_NONE);
    projection = proj_create(context, definition.c_str());
  }
  Objects(const Objects&) = delete;
  Objects& operator=(const Objects&) = delete;
  ~Objects() {
    if (projection) proj_destroy(projection);
    proj_context_destroy(context);
  }
};

MapProjection::MapProjection(std::string definition, std::unique_ptr<Objects> objects)
    : definition_(std::move(definition)), objects_(std::move(objects)) {}

std::optional<MapProjection> MapProjection::FromDefinition(const std::string& definition) {
  auto objects = std::make_unique<Objects>(definition);
  if (!objects->projection) return std::nullopt;
  return MapProjection(definition, std::move(objects));
}

MapProjection::MapProjection(const MapProjection& other)
    : definition_(other.definition_), objects_(std::make_unique<Objects>(other.definition_)) {}

MapProjection& MapProjection::operator=(const MapProjection& other) {
  if (this != &other) *this = MapProjection(other);
  return *this;
}

MapProjection::MapProjection(MapProjection&&) noexcept = default;
MapProjection& MapProjection::operator=(MapProjection&&) noexcept = default;
MapProjection::~MapProjection() = default;

bool MapProjection::Forward(const GeodeticPoint& geodetic, PlanePoint& plane) const {
  const PJ_COORD result = proj_trans(objects_->projection, PJ_FWD,
                                     proj_coord(geodetic.longitude * kRadiansPerDegree,
                                                geodetic.latitude * kRadiansPerDegree, geodetic.height, 0));
  if (!IsFinite(result)) return false;
  plane = {result.xyz.y, result.xyz.x, result.xyz.z};
  return true;
}

bool MapProjection::Inverse(const PlanePoint& plane, GeodeticPoint& geodetic) const {
  const PJ_COORD result =
      proj_trans(objects_->projection, PJ_INV, proj_coord(plane.east, plane.north, plane.height, 0));
  if (!IsFinite(result)) return false;
  geodetic = {result.lpz.phi * kDegreesPerRadian, result.lpz.lam * kDegreesPerRadian, result.lpz.z};
  return true;
}

bool MapProjection::Factors(const GeodeticPoint& geodetic, double& convergenceDegrees, double& scale) const {
  const PJ_FACTORS factors = proj_factors(objects_->projection, proj_coord(geodetic.longitude * kRadiansPerDegree,
                                                                          geodetic.latitude * kRadiansPerDegree, 0, 0));
  if (proj_errno(objects_->projection) != 0 || !std::isfinite(factors.meridional_scale)) {
    proj_errno_reset(objects_->projection);
    return false;
  }
  convergenceDegrees = factors.meridian_convergence * kDegreesPerRadian;
  scale = factors.meridional_scale;
  return true;
}

}  // namespace tarnwell
