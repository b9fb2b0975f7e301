#include "engine/ProjBridge.h"

#include <proj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "tables/NumberText.h"

namespace tarnwell {
namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

// Appends a double in the shortest text that reads back to the same bits.
void AppendExact(std::string& text, double value) {
  char digits[32];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

bool AllNumbers(std::initializer_list<const std::string*> texts) {
  double ignored;
  return std::all_of(texts.begin(), texts.end(), [&](const std::string* text) { return ReadNumber(*text, ignored); });
}

bool IsFinite(const PJ_COORD& coordinate) {
  return std::isfinite(coordinate.xyz.x) && std::isfinite(coordinate.xyz.y) && std::isfinite(coordinate.xyz.z);
}

}  // namespace

bool AppendProjDefinition(std::string& definition, const ProjectionParams& p) {
  const auto append = [&definition](std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) definition += piece;
  };
  switch (p.listIndex) {
    case 70:
      if (!AllNumbers({&p.originLatitude, &p.centralMeridian, &p.falseEasting, &p.falseNorthing})) return false;
      append({"+proj=", p.projKey, " +lat_ts=", p.originLatitude, " +lon_0=", p.centralMeridian,
              " +x_0=", p.falseEasting, " +y_0=", p.falseNorthing, " +units=m"});
      return true;
    case 112:
      if (!AllNumbers({&p.originLatitude, &p.centralMeridian, &p.falseEasting, &p.falseNorthing, &p.scaleFactor}))
        return false;
      append({"+proj=", p.projKey, " +lat_0=", p.originLatitude, " +lon_0=", p.centralMeridian,
              " +x_0=", p.falseEasting, " +y_0=", p.falseNorthing, " +k=", p.scaleFactor, " +units=m"});
      return true;
    default:
      append({"+proj=tmerc +lat_0=0 +lon_0=120 +k=1.000000 +x_0=500000 +y_0=0 +units=m"});
      return true;
  }
}

void AppendProjEllipsoid(std::string& definition, const EllipsoidRecord& record, const EllipsoidFigure& figure) {
  if (IsProjEllipsoidName(record.name)) {
    definition += " +ellps=";
    definition += record.name;
  } else if (figure.IsSphere()) {
    definition += " +R=";
    AppendExact(definition, figure.semiMajorAxis);
  } else {
    definition += " +a=";
    AppendExact(definition, figure.semiMajorAxis);
    definition += " +rf=";
    AppendExact(definition, figure.inverseFlattening);
  }
}

bool IsProjEllipsoidName(std::string_view name) {
  static const std::vector<std::string_view> knownNames = [] {
    std::vector<std::string_view> names;
    for (const PJ_ELLPS* ellipsoid = proj_list_ellps(); ellipsoid->id; ++ellipsoid)
      names.emplace_back(ellipsoid->id);
    std::sort(names.begin(), names.end());
    return names;
  }();
  return std::binary_search(knownNames.begin(), knownNames.end(), name);
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

}  // namespace tarnwell
