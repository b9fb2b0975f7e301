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

#include "engine/Points.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/ProjectionParams.h"

struct pj_ctx;
struct PJconsts;

namespace tarnwell {

// Appends the PROJ definition of a projection, without its ellipsoid: the
// supported projection of its key with the parameters it takes, in the
// table's order, each in its shortest form; a zoned projection as its zone
// fixes it. False (nothing useful appended) when the key is not supported, a
// parameter the projection uses has no value, or the zone fields do not fit;
// also for a
// projection whose points each take their own zone and no zone is given
// (set `zone` to the point's).
bool AppendProjDefinition(std::string& definition, const ProjectionParams& projection);

// Appends the ellipsoid of a definition as its figure (a sphere by its
// radius), never by name: a row named as one of PROJ's ellipsoids may hold
// other values. A projection-plane height H (metres) enlarges the
// semi-major axis to a + H with the same flattening.
void AppendProjEllipsoid(std::string& definition, const EllipsoidFigure& figure, double planeHeight = 0);

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
  // PROJ's factors at a point: the meridian convergence (degrees, grid north
  // from true north, clockwise) and the scale along the meridian (the point
  // scale of a conformal projection); false where PROJ has none.
  bool Factors(const GeodeticPoint& geodetic, double& convergenceDegrees, double& scale) const;

 private:
  struct Objects;
  explicit MapProjection(std::string definition, std::unique_ptr<Objects> objects);

  std::string definition_;
  std::unique_ptr<Objects> objects_;
};

}  // namespace tarnwell
