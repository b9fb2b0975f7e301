// The thin layer between the engine and the PROJ library: the definition of
// a map projection, and the projection itself as an object that converts
// geodetic points to plane points and back.
//
// Angles are decimal degrees in the engine and radians only at the PROJ
// boundary. A PROJ object must not be shared between threads: each
// MapProjection has a PROJ context of its own, and a copy makes its own.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Points.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/ProjectionParams.h"

struct pj_ctx;
struct PJconsts;

namespace tarnwell {

// Appends the PROJ definition of a projection, without its ellipsoid. The
// parameter texts go in as written, once each is known to be wholly a
// number; false (nothing useful appended) when one the projection uses is
// not. listIndex 112 and 70 have their own forms, any other index gives a
// fixed transverse Mercator.
bool AppendProjDefinition(std::string& definition, const ProjectionParams& projection);

// Appends the ellipsoid of a definition: PROJ's own name where it knows the
// record's name, otherwise the record's figure (a sphere by its radius).
void AppendProjEllipsoid(std::string& definition, const EllipsoidRecord& record, const EllipsoidFigure& figure);

// True when PROJ knows `name` as one of its built-in ellipsoids (+ellps=).
bool IsProjEllipsoidName(std::string_view name);

class MapProjection {
 public:
  // The projection of a full definition (with its ellipsoid); nullopt when
  // PROJ refuses it.
  static std::optional<MapProjection> FromDefinition(const std::string& definition);

  MapProjection(const MapProjection& other);
  MapProjection& operator=(const MapProjection& other);
  MapProjection(MapProjection&&) noexcept;
  MapProjection& operator=(MapProjection&&) noexcept;
  ~MapProjection();

  const std::string& definition() const { return definition_; }

  // False when PROJ gives no finite result for the point.
  bool Forward(const GeodeticPoint& geodetic, PlanePoint& plane) const;
  bool Inverse(const PlanePoint& plane, GeodeticPoint& geodetic) const;

 private:
  struct Objects;
  explicit MapProjection(std::string definition, std::unique_ptr<Objects> objects);

  std::string definition_;
  std::unique_ptr<Objects> objects_;
};

}  // namespace tarnwell
